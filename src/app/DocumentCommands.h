#pragma once
// The frame's document and panel commands: File New, Open, Save, Save As, a file dropped on the
// window, and Save/Load Panel Setting. Each offers to save a modified record where it would
// replace it, and the views take every new record. UI thread; the references must outlive the
// commands.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "acquisition/SignalDoc.h"
#include "app/FrameWindow.h"
#include "app/FrontPanel.h"
#include "app/Startup.h"
#include "generator/ToneList.h"
#include "platform/Shell.h"

namespace tonewell {

// Open filter of the document, with the framework's catch-all.
inline constexpr const char* kDocumentOpenFilter = "ADC (*.wav)|*.wav|All Files (*.*)|*.*|";

struct DocumentCommandParts {
    CSignalDoc& document;
    FrontPanel& panel;
    Startup& startup;
    Shell& shell;
    const ToneLists& toneLists;
    const std::filesystem::path& programDir;
    std::function<void()> takeRecordInViews;  // both views take the document's new record
    std::function<int()> scopeType;           // the oscilloscope type a file opens with
};

class DocumentCommands {
public:
    DocumentCommands(DocumentCommandParts parts, FrameWindow& window) : parts_(std::move(parts)), window_(window) {}

    void fileNew();
    void fileOpen();
    void fileSave();
    void fileSaveAs();
    // Offers to save, then opens the file into the document and gives the views its record;
    // false when it was not opened (a refused file is reported and the record stays).
    bool openFile(const std::filesystem::path& path);
    void savePanel();
    // A panel file read is applied by the New that follows.
    void loadPanel();

private:
    void newDocument();
    void recordInViews();

    DocumentCommandParts parts_;
    FrameWindow& window_;
};

// A chosen save path without an extension takes the default one.
std::filesystem::path WithExtension(std::filesystem::path path, const char* extension);

}  // namespace tonewell

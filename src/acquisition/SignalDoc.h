#pragma once
// The single document: one signal record (SignalRecord's fields), its file as a RIFF/WAVE file
// with a LIST/INFO extension (IBIN sampling and range information, ICMT note), the save-prompt
// rules and the statistics. Owned by the composition root; UI thread only. Messages go to the
// user through Shell; a refused file is reported and leaves the record that was open.

#include "acquisition/DocumentFrameHooks.h"
#include "acquisition/SignalRecord.h"
#include "shared/InstrumentConfiguration.h"
#include "platform/Shell.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tonewell {

// The document type: default file filter "ADC (*.wav)", extension ".wav".
inline constexpr const char* kDocumentFilter = "ADC (*.wav)|*.wav|";
inline constexpr const char* kDocumentExtension = "wav";

// The toolbar selections a fresh document is made with.
struct FreshDocumentSelection {
    bool bothChannels = false;                // channels "A&B" (else "A")
    std::uint32_t samplesPerSecond = 44100;   // selected sampling frequency
    int bits = 16;                            // selected resolution
    std::uint16_t timeRangeCode = 0;          // selected oscilloscope time range
};

class CSignalDoc : public SignalRecord {
public:
    // Builds the fresh document from the selections and the input calibration; clears
    // inputRunning. The references must outlive the document.
    CSignalDoc(Shell& shell, const InstrumentConfiguration& configuration,
               std::atomic<bool>& inputRunning, const FreshDocumentSelection& selection);

    // Sets every field to the state of an empty record made with these selections.
    void MakeFresh(const FreshDocumentSelection& selection);

    // The front panel's part of New and of Open. May be null (no panel: those steps are left out).
    void SetFrameHooks(DocumentFrameHooks* hooks) { frameHooks_ = hooks; }

    // New: skipSavePrompt = true, contents kept but unmodified and untitled, then the panel
    // steps of the frame hooks. Always succeeds.
    bool OnNewDocument();

    // Open: reads the file (the previous record, its name and save prompt stay when the file is
    // refused or unreadable). Refusals and warnings show their messages. Then the sampling
    // toolbar follows the record and the statistics are computed for scopeType. True when the
    // record was loaded.
    bool OnOpenDocument(const std::filesystem::path& path, int scopeType);

    // Save: writes the record safely (a failed save leaves the previous file untouched and
    // shows "Failed to save document."). True when written; then the path is the document's
    // and it is unmodified.
    bool OnSaveDocument(const std::filesystem::path& path);

    // File Save: to the document's path, or one chosen in the save dialog when it has none.
    bool DoFileSave();

    // True when closing or replacing may go on: without asking when skipSavePrompt is set or
    // nothing changed; otherwise "Save changes to <title>?" (Yes saves, Cancel answers false).
    bool SaveModified();

    // Update-UI of File Save and File Save As.
    bool CanSave() const;

    // Recomputes the statistics and dcOffsetCodesA/B (see ComputeStatistics).
    void ComputeStatistics(int scopeType);

    // Reallocates both sample arrays for n samples each (at least one); false when memory ran
    // out (then the arrays are left as they were). sampleCount is not changed.
    bool ReallocateSamples(std::uint32_t n);

    // The samples or the format changed: what the views derive from the record (the spectrum)
    // is derived again, as they find the revision moved on. Whoever writes the samples says so.
    void RecordChanged() { ++revision_; }
    std::uint64_t revision() const { return revision_; }

    void EmptyNote() { notes.clear(); }
    void SetModifiedFlag(bool value = true) { modified_ = value; }
    bool IsModified() const { return modified_; }
    const std::filesystem::path& PathName() const { return pathName_; }
    // File name of the path, or "Untitled".
    std::string Title() const;

    // When set, closing or replacing the document never asks to save. Set by New and by
    // applying a panel setting, cleared by every open or save.
    bool skipSavePrompt = true;
    // Mean offsets in codes from the last statistics (read by the spectrum's DC removal).
    DcOffsets dcOffsets;

private:
    Shell& shell_;
    const InstrumentConfiguration& configuration_;
    std::atomic<bool>& inputRunning_;
    DocumentFrameHooks* frameHooks_ = nullptr;
    bool modified_ = false;
    std::uint64_t revision_ = 0;
    std::filesystem::path pathName_;
};

}  // namespace tonewell

#pragma once
// The Notes dialog as a model ("Notes": a multi-line box of at most 1023 characters, a check box
// "Display", OK and Cancel). The Qt dialog binds its widgets to it. UI thread only.

#include "acquisition/SignalDoc.h"

#include <functional>
#include <string>
#include <string_view>

namespace tonewell {

inline constexpr const char* kNotesDialogTitle = "Notes";
inline constexpr const char* kNotesDisplayLabel = "Display";
inline constexpr std::size_t kNotesBoxLimit = kNotesCapacity - 1;

// What the note keeps of a text: printable ASCII (32..126) in order, at most 1023 characters;
// line breaks and every other character are dropped.
std::string FilterNoteText(std::string_view text);

class NotesDialog {
public:
    // redrawAllViews is called when "Display" is clicked and after OK.
    NotesDialog(CSignalDoc& document, std::function<void()> redrawAllViews);

    // Opens with the document's note and displayNotes.
    void Open();

    // The box's text as typed; longer texts are cut to the box's limit.
    void SetText(std::string_view text);
    const std::string& Text() const { return text_; }

    // The check box was clicked: only the views are redrawn; the value is taken over at OK.
    void OnDisplayClicked(bool checked);
    bool Display() const { return display_; }

    // Copies the filtered text into the note, sets displayNotes, marks the document modified
    // and redraws all views.
    void OnOk();

private:
    CSignalDoc& document_;
    std::function<void()> redrawAllViews_;
    std::string text_;
    bool display_ = false;
};

}  // namespace tonewell

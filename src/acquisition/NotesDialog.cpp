#include "acquisition/NotesDialog.h"

#include <utility>

namespace tonewell {

std::string FilterNoteText(std::string_view text) {
    std::string kept;
    for (const char c : text) {
        if (kept.size() == kNotesBoxLimit) break;
        const auto code = static_cast<unsigned char>(c);
        if (code >= 32 && code <= 126) kept.push_back(c);
    }
    return kept;
}

NotesDialog::NotesDialog(CSignalDoc& document, std::function<void()> redrawAllViews)
    : document_(document), redrawAllViews_(std::move(redrawAllViews)) {}

void NotesDialog::Open() {
    SetText(document_.notes);
    display_ = document_.displayNotes;
}

void NotesDialog::SetText(std::string_view text) {
    text_.assign(text.substr(0, kNotesBoxLimit));
}

void NotesDialog::OnDisplayClicked(bool checked) {
    display_ = checked;
    if (redrawAllViews_) redrawAllViews_();
}

void NotesDialog::OnOk() {
    document_.notes = FilterNoteText(text_);
    document_.displayNotes = display_;
    document_.SetModifiedFlag(true);
    if (redrawAllViews_) redrawAllViews_();
}

}  // namespace tonewell

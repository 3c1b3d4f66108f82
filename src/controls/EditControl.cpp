#include "controls/EditControl.h"

namespace tonewell {

void EditControl::setText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    notify();
    if (textHandler_) {
        // Copies, because the handler may set the text again or replace itself.
        TextHandler handler = textHandler_;
        std::string changed = text_;
        handler(changed);
    }
}

void EditControl::userType(std::string text) {
    if (readOnly_ || !operable()) return;
    if (limit_ > 0 && text.size() > limit_) {
        std::size_t cut = limit_;
        // Never split a UTF-8 sequence: back up to the start of the character at the cut.
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        text.resize(cut);
    }
    setText(std::move(text));
}

void EditControl::setReadOnly(bool readOnly) {
    if (readOnly_ == readOnly) return;
    readOnly_ = readOnly;
    notify();
}

}  // namespace tonewell

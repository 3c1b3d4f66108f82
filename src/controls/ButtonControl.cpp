#include "controls/ButtonControl.h"

namespace tonewell {

void ButtonControl::setCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    notify();
}

void ButtonControl::click() {
    if (!operable() || !clickHandler_) return;
    ClickHandler handler = clickHandler_;
    handler();
}

}  // namespace tonewell

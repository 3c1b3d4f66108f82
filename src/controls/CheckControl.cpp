#include "controls/CheckControl.h"

namespace tonewell {

void CheckControl::setChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    notify();
}

void CheckControl::userClick() {
    if (!operable()) return;
    setChecked(!checked_);
    if (checkHandler_) {
        CheckHandler handler = checkHandler_;
        handler(checked_);
    }
}

}  // namespace tonewell

#include "controls/Control.h"

namespace tonewell {

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    notify();
}

void Control::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    notify();
}

void Control::userFocus(bool gained) {
    if (focused_ == gained) return;
    // A disabled control cannot take the focus, but it can always lose it.
    if (gained && !operable()) return;
    focused_ = gained;
    notify();
    if (focusHandler_) {
        FocusHandler handler = focusHandler_;  // the handler may replace itself
        handler(gained);
    }
}

}  // namespace tonewell

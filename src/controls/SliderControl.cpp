#include "controls/SliderControl.h"

#include <algorithm>

namespace tonewell {

void SliderControl::setRange(int minimum, int maximum) {
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
    position_ = std::clamp(position_, minimum_, maximum_);
    notify();
}

void SliderControl::setPosition(int position) {
    int next = std::clamp(position, minimum_, maximum_);
    if (next == position_) return;
    position_ = next;
    notify();
}

void SliderControl::userMove(int position) { userAction(position, Action::Moved); }

void SliderControl::userRelease(int position) { userAction(position, Action::Released); }

void SliderControl::userAction(int position, Action action) {
    if (!operable()) return;
    setPosition(position);
    if (positionHandler_) {
        PositionHandler handler = positionHandler_;
        handler(position_, action);
    }
}

}  // namespace tonewell

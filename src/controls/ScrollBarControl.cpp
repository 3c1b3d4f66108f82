#include "controls/ScrollBarControl.h"

#include <algorithm>

namespace tonewell {

void ScrollBarControl::setRange(int minimum, int maximum) {
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
    position_ = std::clamp(position_, minimum_, maximum_);
    notify();
}

void ScrollBarControl::setPosition(int position) {
    int next = std::clamp(position, minimum_, maximum_);
    if (next == position_) return;
    position_ = next;
    notify();
}

void ScrollBarControl::setGeometry(const Geometry& geometry) {
    if (geometry_ == geometry) return;
    geometry_ = geometry;
    notify();
}

void ScrollBarControl::userScroll(Action action, int trackPosition) {
    if (!operable() || !scrollHandler_) return;
    ScrollHandler handler = scrollHandler_;
    handler(action, trackPosition);
}

}  // namespace tonewell

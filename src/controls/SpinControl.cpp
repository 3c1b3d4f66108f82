#include "controls/SpinControl.h"

#include <algorithm>
#include <string>

#include "controls/EditControl.h"

namespace tonewell {

void SpinControl::setRange(int minimum, int maximum) {
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
    position_ = std::clamp(position_, minimum_, maximum_);
    notify();
}

void SpinControl::setPosition(int position) {
    int next = std::clamp(position, minimum_, maximum_);
    if (next != position_) {
        position_ = next;
        notify();
    }
    // Written every time: the box may have been rewritten since ("5%" after "5").
    if (buddy_) buddy_->setText(std::to_string(position_));
}

void SpinControl::userStep(int steps) {
    if (!operable() || steps == 0) return;
    long long wanted = static_cast<long long>(position_) + steps;
    int next = static_cast<int>(std::clamp<long long>(wanted, minimum_, maximum_));
    if (next == position_) return;
    setPosition(next);
    if (positionHandler_) {
        PositionHandler handler = positionHandler_;
        handler(position_);
    }
}

}  // namespace tonewell

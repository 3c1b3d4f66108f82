#pragma once
// A spin button (up-down control), optionally bound to an edit box that it sets to its integer
// position ("5", no sign for positive values) whenever the position is set, by the user or by the
// program. The handler runs only when the user stepped it. The position stays inside the range.

#include "controls/Control.h"

namespace tonewell {

class EditControl;

class SpinControl : public Control {
public:
    using PositionHandler = std::function<void(int position)>;

    explicit SpinControl(int id = 0) : Control(id) {}

    // The box the position is written into; nullptr for none. Not owned; it must outlive the
    // binding.
    void setBuddy(EditControl* buddy) { buddy_ = buddy; }
    EditControl* buddy() const { return buddy_; }

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    // Given either way round; the position is clamped into the new range (the buddy is not
    // rewritten).
    void setRange(int minimum, int maximum);

    int position() const { return position_; }
    // Clamped into the range; also sets the buddy's text.
    void setPosition(int position);

    // The user pressed up (+1 steps) or down (-1): the position moves by steps, stopping at the
    // ends; at an end nothing changes and no handler runs.
    void userStep(int steps);

    void setPositionHandler(PositionHandler handler) { positionHandler_ = std::move(handler); }

private:
    EditControl* buddy_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    PositionHandler positionHandler_;
};

}  // namespace tonewell

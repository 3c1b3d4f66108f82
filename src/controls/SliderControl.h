#pragma once
// A slider (track bar) with a position inside its range. The handler runs only for the user:
// while the thumb is dragged (Moved) and when it is let go (Released); the position the program
// sets runs none.

#include "controls/Control.h"

namespace tonewell {

class SliderControl : public Control {
public:
    enum class Action { Moved, Released };
    using PositionHandler = std::function<void(int position, Action action)>;

    explicit SliderControl(int id = 0, Orientation orientation = Orientation::Horizontal)
        : Control(id), orientation_(orientation) {}

    Orientation orientation() const { return orientation_; }

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    // Given either way round; the position is clamped into the new range.
    void setRange(int minimum, int maximum);

    int position() const { return position_; }
    // Clamped into the range.
    void setPosition(int position);

    // The user dragged the thumb to position / let it go there (clamped into the range).
    void userMove(int position);
    void userRelease(int position);

    void setPositionHandler(PositionHandler handler) { positionHandler_ = std::move(handler); }

private:
    void userAction(int position, Action action);

    Orientation orientation_;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    PositionHandler positionHandler_;
};

}  // namespace tonewell

#pragma once
// A scroll bar. It does not move itself: a user action goes to the handler, which decides the
// new position and sets it (the views step by their own amounts and clamp). The program also
// places, shows and hides the bar. Positions and geometry in the owner's pixels and units.

#include "controls/Control.h"

namespace tonewell {

class ScrollBarControl : public Control {
public:
    enum class Action { LineUp, LineDown, PageUp, PageDown, ThumbTrack, ThumbPosition, Top, Bottom, EndScroll };
    // trackPosition is the thumb's position for ThumbTrack and ThumbPosition, else the current
    // position.
    using ScrollHandler = std::function<void(Action action, int trackPosition)>;

    struct Geometry {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        friend bool operator==(const Geometry&, const Geometry&) = default;
    };

    explicit ScrollBarControl(int id = 0, Orientation orientation = Orientation::Vertical)
        : Control(id), orientation_(orientation) {}

    Orientation orientation() const { return orientation_; }

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    // Given either way round; the position is clamped into the new range.
    void setRange(int minimum, int maximum);

    int position() const { return position_; }
    // Clamped into the range.
    void setPosition(int position);

    const Geometry& geometry() const { return geometry_; }
    void setGeometry(const Geometry& geometry);

    // The user scrolled (ignored when not operable). LineUp and PageUp also stand for left.
    void userScroll(Action action, int trackPosition);
    void userScroll(Action action) { userScroll(action, position_); }

    void setScrollHandler(ScrollHandler handler) { scrollHandler_ = std::move(handler); }

private:
    Orientation orientation_;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    Geometry geometry_;
    ScrollHandler scrollHandler_;
};

}  // namespace tonewell

#pragma once
// The frame around a plotting view's picture: its three scroll bars (a horizontal one at the
// bottom and the A and B bars at the left and right edges) with their positions and maxima,
// the rescaling of the bars when a multiplier changes, the users' scroll actions, and the layout
// that places the bars and the plot rectangle in the client area. UI thread.

#include <cstdint>
#include <functional>
#include <string_view>

#include "controls/ScrollBarControl.h"
#include "platform/Canvas.h"
#include "plot/PlotGeometry.h"
#include "shared/ScrollScaling.h"

namespace tonewell {

// What the layout leaves room for around the plot.
struct PlotMargins {
    bool barA = false;            // the A scroll bar shows at the left edge
    bool barB = false;            // the B scroll bar shows at the right edge
    bool labelsLeft = false;      // A's labels stand left of the plot
    bool labelsRight = false;     // B's labels stand right of it
    bool twoReadoutRows = false;  // A's and B's readout lines above the plot take a row each
    std::int32_t measurementRows = 0;  // rows of measurements at the top, above the readout lines
    friend bool operator==(const PlotMargins&, const PlotMargins&) = default;
};

class PlotFrame {
public:
    static constexpr std::int32_t kScrollBarWidth = 16;

    PlotFrame(int barAId, int barBId);
    PlotFrame(const PlotFrame&) = delete;
    PlotFrame& operator=(const PlotFrame&) = delete;

    // scrolled runs after a user's scroll moved a bar; refused shows why a thumb position could
    // not be followed.
    void setHandlers(std::function<void()> scrolled, std::function<void(std::string_view)> refused);

    // The bars as the window shows them; the frame sets their range, position and place.
    ScrollBarControl horizontal{0, Orientation::Horizontal};
    ScrollBarControl barA;
    ScrollBarControl barB;

    ScrollRange horizontalScroll() const { return horizontal_; }
    // Channel 0 = A, 1 = B.
    ScrollRange valueScroll(int channel) const { return channel == 0 ? a_ : b_; }

    // Start positions: the horizontal bar at 0 of 10, A and B in the middle of 100.
    void resetScroll();
    // The bars follow new multipliers, keeping what stands at the centre of the view there.
    void rescale(std::uint32_t xMultiplier, std::uint32_t aMultiplier, std::uint32_t bMultiplier);

    // Places the bars and the plot for a client area of width x height and characters of the
    // given size; a horizontal multiplier below 2 hides the horizontal bar and resets it. Laying
    // out again for the same inputs changes nothing.
    void layout(std::int32_t width, std::int32_t height, TextExtent character, std::uint32_t xMultiplier,
                const PlotMargins& margins);
    // The client area less the shown vertical bars, and the plot within it.
    const CanvasRect& clientRect() const { return clientRect_; }
    const PlotRect& plotRect() const { return plotRect_; }

private:
    void scrollHorizontal(ScrollBarControl::Action action, std::int16_t trackPosition);
    void scrollVertical(int channel, ScrollBarControl::Action action, std::int32_t trackPosition);
    void setHorizontal(std::int32_t position, std::int32_t maximum);
    void sync();

    std::function<void()> scrolled_;
    std::function<void(std::string_view)> refused_;
    ScrollRange horizontal_{0, 10};
    ScrollRange a_{50, 100};
    ScrollRange b_{50, 100};
    CanvasRect clientRect_;
    PlotRect plotRect_;
    struct LayoutInputs {
        std::int32_t width = -1;
        std::int32_t height = -1;
        TextExtent character;
        std::uint32_t xMultiplier = 0;
        PlotMargins margins;
        friend bool operator==(const LayoutInputs&, const LayoutInputs&) = default;
    };
    LayoutInputs laidOutFor_;
};

}  // namespace tonewell

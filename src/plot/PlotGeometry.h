#pragma once
// What the plotting views share to turn values into pixels and text into place: the plot
// rectangle, truncation into a safe pixel band, the text rows below the plot, aligned text, the
// 4 x 4 grid and the views' colours. UI thread.

#include <cstdint>
#include <string>

#include "platform/Canvas.h"
#include "shared/InstrumentConfiguration.h"

namespace tonewell {

// The plot area with inclusive edges, as the views' arithmetic counts them:
// W = right - left + 1, H = bottom - top + 1.
struct PlotRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t width() const { return right - left + 1; }
    std::int32_t height() const { return bottom - top + 1; }
    bool contains(std::int32_t x, std::int32_t y) const { return x >= left && x <= right && y >= top && y <= bottom; }
    // The drawing rectangle of the frame (exclusive right and bottom), which clips the traces.
    CanvasRect frame() const { return {left, top, right + 1, bottom + 1}; }
    friend bool operator==(const PlotRect&, const PlotRect&) = default;
};

// Far enough outside any window that a line towards it keeps its direction inside the plot, and
// small enough for every drawing surface's fixed-point coordinates.
inline constexpr double kPixelLimit = 16777216.0;

// Truncation toward zero into that band; NaN lands on its lower end.
std::int32_t TruncatePixel(double value);

// Multiplier values count "Off" (0) as 1 where they scale.
inline double EffectiveMultiplier(std::uint32_t multiplier) { return multiplier == 0 ? 1.0 : multiplier; }

// The rows below the plot: the axis labels, and the captions and title under them.
std::int32_t LabelRow(const PlotRect& plot, std::int32_t charHeight);
std::int32_t CaptionRow(const PlotRect& plot, std::int32_t charHeight);
// The row of a channel's readout line above the plot: with one channel shown (or either "Off")
// both use one row, else A stands above B.
std::int32_t ReadoutRow(const PlotRect& plot, std::int32_t charHeight, int channel, bool oneRow);

enum class Align { Left, Centre, Right };

// Text whose left edge, centre or right edge stands at x.
void DrawAligned(Canvas& canvas, std::int32_t x, std::int32_t y, const std::string& text, Align align);

// The dashed quarter lines across (horizontal) and along (vertical) the plot, then its frame.
void DrawQuarterGrid(Canvas& canvas, const PlotRect& plot, Colour grid, bool horizontal, bool vertical);

// The configuration's colours as the views use them; the cursors take the complements of the
// channels' colours.
struct PlotColours {
    Colour background, channelA, channelB, grid, otherText, cursorA, cursorB;
    static PlotColours Of(const InstrumentConfiguration& configuration);
    Colour channel(int channel) const { return channel == 0 ? channelA : channelB; }
};

}  // namespace tonewell

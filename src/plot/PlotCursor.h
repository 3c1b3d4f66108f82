#pragma once
// The two measurement cursors of a plotting view and where a tap lands around the plot. A
// cursor is kept as the values under the tap (X: seconds, Hz, a lag or, in a Lissajous figure,
// channel-A volts; Y: the value of its channel in the view's terms), so it stays on them through
// scrolling, zooming and new records; its pixel position is worked out before each draw.

#include <array>
#include <cstdint>

#include "platform/Canvas.h"
#include "plot/PlotGeometry.h"

namespace tonewell {

enum class CursorChannel : std::int32_t { None = 0, A = 1, B = 2 };

struct PlotCursor {
    std::int32_t x = 0;  // pixel position for the next draw
    std::int32_t y = 0;
    CursorChannel channel = CursorChannel::None;
    float xValue = 0.0f;
    float yValue = 0.0f;
    bool set() const { return channel != CursorChannel::None; }
    bool onA() const { return channel == CursorChannel::A; }
    void clear() { *this = PlotCursor{}; }
};

using PlotCursors = std::array<PlotCursor, 2>;

inline void ClearCursors(PlotCursors& cursors) {
    for (PlotCursor& cursor : cursors) cursor.clear();
}

// Where a tap lands: on the plot (edges included), above its left or right corner, above it
// between the corners, or anywhere else.
enum class TapArea { Plot, AboveLeft, AboveRight, Above, Elsewhere };
TapArea TapAreaOf(const PlotRect& plot, std::int32_t x, std::int32_t y);

// How a view draws its cursors' cross lines: clipped to the plot or not, a line on the plot's
// edge drawn or not, and the number label that far right of the crossing.
struct CursorCrossStyle {
    bool clipped = false;
    bool onEdges = false;
    std::int32_t labelOffset = 0;
};

// Each set cursor's lines across and along the plot in its complement colour and, where both
// show, its number "1" or "2" in its channel's colour.
void DrawCursorCrosses(Canvas& canvas, const PlotRect& plot, const PlotCursors& cursors, const PlotColours& colours,
                       const CursorCrossStyle& style);

}  // namespace tonewell

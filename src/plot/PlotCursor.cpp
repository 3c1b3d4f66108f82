#include "plot/PlotCursor.h"

namespace tonewell {

TapArea TapAreaOf(const PlotRect& p, std::int32_t x, std::int32_t y) {
    if (p.contains(x, y)) return TapArea::Plot;
    if (y < p.top && x < p.left) return TapArea::AboveLeft;
    if (y < p.top && x > p.right) return TapArea::AboveRight;
    if (y < p.top && x > p.left && x < p.right) return TapArea::Above;
    return TapArea::Elsewhere;
}

void DrawCursorCrosses(Canvas& canvas, const PlotRect& p, const PlotCursors& cursors, const PlotColours& colours,
                       const CursorCrossStyle& style) {
    if (style.clipped) canvas.setClip(p.frame());
    for (std::size_t index = 0; index < cursors.size(); ++index) {
        const PlotCursor& cursor = cursors[index];
        if (!cursor.set()) continue;
        const bool onA = cursor.onA();
        canvas.setPen(onA ? colours.cursorA : colours.cursorB);
        const bool across = style.onEdges ? cursor.x >= p.left && cursor.x <= p.right
                                          : cursor.x > p.left && cursor.x < p.right;
        const bool along = style.onEdges ? cursor.y >= p.top && cursor.y <= p.bottom
                                         : cursor.y > p.top && cursor.y < p.bottom;
        if (across) canvas.drawLine({cursor.x, p.top}, {cursor.x, p.bottom});
        if (along) canvas.drawLine({p.left, cursor.y}, {p.right, cursor.y});
        if (across && along) {
            canvas.setTextColour(onA ? colours.channelA : colours.channelB);
            canvas.drawText({cursor.x + style.labelOffset, cursor.y}, index == 0 ? "1" : "2");
        }
    }
    if (style.clipped) canvas.clearClip();
}

}  // namespace tonewell

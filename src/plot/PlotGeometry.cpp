#include "plot/PlotGeometry.h"

#include <algorithm>

namespace tonewell {

namespace {

Colour Complement(Colour colour) {
    return MakeColour(static_cast<std::uint8_t>(255 - RedOf(colour)), static_cast<std::uint8_t>(255 - GreenOf(colour)),
                      static_cast<std::uint8_t>(255 - BlueOf(colour)));
}

}  // namespace

std::int32_t TruncatePixel(double value) {
    return static_cast<std::int32_t>(std::min(kPixelLimit, std::max(-kPixelLimit, value)));
}

std::int32_t LabelRow(const PlotRect& plot, std::int32_t charHeight) {
    return TruncatePixel(plot.bottom + 0.25 * charHeight - 4);
}

std::int32_t CaptionRow(const PlotRect& plot, std::int32_t charHeight) {
    return TruncatePixel(plot.bottom + 1.15 * charHeight - 7);
}

std::int32_t ReadoutRow(const PlotRect& plot, std::int32_t charHeight, int channel, bool oneRow) {
    if (oneRow) return plot.top - charHeight - 2;
    return channel == 0 ? plot.top + 4 - 2 * charHeight : plot.top - charHeight + 1;
}

void DrawAligned(Canvas& canvas, std::int32_t x, std::int32_t y, const std::string& text, Align align) {
    const std::int32_t width = canvas.textExtent(text).width;
    if (align == Align::Centre) x -= width / 2;
    if (align == Align::Right) x -= width;
    canvas.drawText({x, y}, text);
}

void DrawQuarterGrid(Canvas& canvas, const PlotRect& p, Colour grid, bool horizontal, bool vertical) {
    canvas.setPen(grid, PenStyle::Dash);
    if (horizontal) {
        for (int i = 0; i <= 4; ++i) {
            const std::int32_t y = p.top + (p.bottom - p.top) * i / 4;
            canvas.drawLine({p.left, y}, {p.right, y});
        }
    }
    if (vertical) {
        for (int i = 0; i <= 4; ++i) {
            const std::int32_t x = p.left + (p.right - p.left) * i / 4;
            canvas.drawLine({x, p.top}, {x, p.bottom});
        }
    }
    canvas.setPen(grid, PenStyle::Solid);
    canvas.drawRectangle(p.frame());
}

PlotColours PlotColours::Of(const InstrumentConfiguration& c) {
    return {c.colorBackground, c.colorChannelA,          c.colorChannelB,          c.colorGrid,
            c.colorOtherText,  Complement(c.colorChannelA), Complement(c.colorChannelB)};
}

}  // namespace tonewell

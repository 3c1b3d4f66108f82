#pragma once
// What the views draw on: one-pixel solid and dashed pens, lines, polylines, rectangles, fills,
// clipping, text and its extent. Coordinates are device pixels with (0, 0) at the top left and
// y growing downwards. Colours are 0x00BBGGRR. The Qt program draws on a QImage back buffer
// (platform/qt/QtCanvas.h); tests and headless pictures use RecordingCanvas. UI thread only.

#include <cstdint>
#include <span>
#include <string_view>

namespace tonewell {

using Colour = std::uint32_t;  // 0x00BBGGRR

inline constexpr Colour MakeColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) | (static_cast<Colour>(blue) << 16);
}
inline constexpr std::uint8_t RedOf(Colour colour) { return colour & 0xFF; }
inline constexpr std::uint8_t GreenOf(Colour colour) { return (colour >> 8) & 0xFF; }
inline constexpr std::uint8_t BlueOf(Colour colour) { return (colour >> 16) & 0xFF; }

struct CanvasPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const CanvasPoint&, const CanvasPoint&) = default;
};

// Left and top inside, right and bottom just outside: width = right - left.
struct CanvasRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    bool contains(CanvasPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    friend bool operator==(const CanvasRect&, const CanvasRect&) = default;
};

enum class PenStyle { Solid, Dash };

struct TextExtent {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const TextExtent&, const TextExtent&) = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // Size of the drawing surface in pixels.
    virtual std::int32_t width() const = 0;
    virtual std::int32_t height() const = 0;

    // The one-pixel pen of the lines, polylines and rectangle outlines that follow.
    virtual void setPen(Colour colour, PenStyle style = PenStyle::Solid) = 0;
    // A line from `from` to `to`, both ends drawn.
    virtual void drawLine(CanvasPoint from, CanvasPoint to) = 0;
    // Connected segments through the points in order; fewer than two points draw nothing.
    virtual void drawPolyline(std::span<const CanvasPoint> points) = 0;
    // The outline of rect with the pen, on its inside pixels.
    virtual void drawRectangle(const CanvasRect& rect) = 0;
    virtual void fillRectangle(const CanvasRect& rect, Colour colour) = 0;

    // Drawing outside rect is dropped until the clip is cleared.
    virtual void setClip(const CanvasRect& rect) = 0;
    virtual void clearClip() = 0;

    // Text with its top-left corner at topLeft, on a transparent background.
    virtual void setTextColour(Colour colour) = 0;
    virtual void drawText(CanvasPoint topLeft, std::string_view text) = 0;
    // Width and height of text in the canvas's font.
    virtual TextExtent textExtent(std::string_view text) const = 0;
};

}  // namespace tonewell

#pragma once
// A Canvas that records every drawing call in order, for tests of the views and their layout.
// Text is measured in a fixed-width font of charWidth x charHeight pixels per character.

#include "platform/Canvas.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tonewell {

class RecordingCanvas : public Canvas {
public:
    enum class Kind { Line, Polyline, Rectangle, Fill, Text };

    // One drawing call with the pen, text colour and clip in force when it was made.
    struct Operation {
        Kind kind = Kind::Line;
        std::vector<CanvasPoint> points;  // line ends, polyline points, text's top-left corner
        CanvasRect rect;                  // rectangles and fills
        Colour colour = 0;                // the pen's, the fill's or the text's colour
        PenStyle style = PenStyle::Solid;
        std::string text;
        bool clipped = false;
        CanvasRect clip;
    };

    RecordingCanvas(std::int32_t width, std::int32_t height, std::int32_t charWidth = 8,
                    std::int32_t charHeight = 16);

    std::int32_t width() const override { return width_; }
    std::int32_t height() const override { return height_; }
    void setPen(Colour colour, PenStyle style = PenStyle::Solid) override;
    void drawLine(CanvasPoint from, CanvasPoint to) override;
    void drawPolyline(std::span<const CanvasPoint> points) override;
    void drawRectangle(const CanvasRect& rect) override;
    void fillRectangle(const CanvasRect& rect, Colour colour) override;
    void setClip(const CanvasRect& rect) override;
    void clearClip() override;
    void setTextColour(Colour colour) override;
    void drawText(CanvasPoint topLeft, std::string_view text) override;
    TextExtent textExtent(std::string_view text) const override;

    const std::vector<Operation>& operations() const { return operations_; }
    // The texts drawn, in order.
    std::vector<std::string> texts() const;
    // The operations of one kind, in order.
    std::vector<Operation> operationsOf(Kind kind) const;
    void clear() { operations_.clear(); }

private:
    Operation& record(Kind kind, Colour colour);

    std::int32_t width_;
    std::int32_t height_;
    std::int32_t charWidth_;
    std::int32_t charHeight_;
    Colour penColour_ = 0;
    PenStyle penStyle_ = PenStyle::Solid;
    Colour textColour_ = 0;
    bool clipped_ = false;
    CanvasRect clip_;
    std::vector<Operation> operations_;
};

}  // namespace tonewell

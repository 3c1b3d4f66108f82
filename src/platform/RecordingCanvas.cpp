#include "platform/RecordingCanvas.h"

namespace tonewell {

RecordingCanvas::RecordingCanvas(std::int32_t width, std::int32_t height, std::int32_t charWidth,
                                 std::int32_t charHeight)
    : width_(width), height_(height), charWidth_(charWidth), charHeight_(charHeight) {}

RecordingCanvas::Operation& RecordingCanvas::record(Kind kind, Colour colour) {
    Operation& op = operations_.emplace_back();
    op.kind = kind;
    op.colour = colour;
    op.style = penStyle_;
    op.clipped = clipped_;
    op.clip = clip_;
    return op;
}

void RecordingCanvas::setPen(Colour colour, PenStyle style) {
    penColour_ = colour;
    penStyle_ = style;
}

void RecordingCanvas::drawLine(CanvasPoint from, CanvasPoint to) {
    record(Kind::Line, penColour_).points = {from, to};
}

void RecordingCanvas::drawPolyline(std::span<const CanvasPoint> points) {
    if (points.size() < 2) return;
    record(Kind::Polyline, penColour_).points.assign(points.begin(), points.end());
}

void RecordingCanvas::drawRectangle(const CanvasRect& rect) { record(Kind::Rectangle, penColour_).rect = rect; }

void RecordingCanvas::fillRectangle(const CanvasRect& rect, Colour colour) {
    Operation& op = record(Kind::Fill, colour);
    op.rect = rect;
    op.style = PenStyle::Solid;
}

void RecordingCanvas::setClip(const CanvasRect& rect) {
    clipped_ = true;
    clip_ = rect;
}

void RecordingCanvas::clearClip() {
    clipped_ = false;
    clip_ = {};
}

void RecordingCanvas::setTextColour(Colour colour) { textColour_ = colour; }

void RecordingCanvas::drawText(CanvasPoint topLeft, std::string_view text) {
    Operation& op = record(Kind::Text, textColour_);
    op.points = {topLeft};
    op.text = std::string(text);
    op.style = PenStyle::Solid;
}

TextExtent RecordingCanvas::textExtent(std::string_view text) const {
    return {static_cast<std::int32_t>(text.size()) * charWidth_, charHeight_};
}

std::vector<std::string> RecordingCanvas::texts() const {
    std::vector<std::string> result;
    for (const Operation& op : operations_)
        if (op.kind == Kind::Text) result.push_back(op.text);
    return result;
}

std::vector<RecordingCanvas::Operation> RecordingCanvas::operationsOf(Kind kind) const {
    std::vector<Operation> result;
    for (const Operation& op : operations_)
        if (op.kind == kind) result.push_back(op);
    return result;
}

}  // namespace tonewell

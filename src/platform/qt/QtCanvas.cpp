#include "platform/qt/QtCanvas.h"

namespace tonewell {

QtCanvas::QtCanvas(QImage& image, const QFont& font) : image_(image), painter_(&image), metrics_(font) {
    painter_.setFont(font);
    // One-pixel lines land on whole pixels; no smoothing, so pictures are exact and fast.
    painter_.setRenderHint(QPainter::Antialiasing, false);
    pen_.setCosmetic(true);
    pen_.setWidth(1);
    pen_.setCapStyle(Qt::SquareCap);  // both ends of a line drawn
    painter_.setBrush(Qt::NoBrush);
}

QColor QtCanvas::ToQColor(Colour colour) { return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)); }

std::int32_t QtCanvas::width() const { return image_.width(); }
std::int32_t QtCanvas::height() const { return image_.height(); }

void QtCanvas::setPen(Colour colour, PenStyle style) {
    pen_.setColor(ToQColor(colour));
    if (style == PenStyle::Dash) {
        // Dashes of six pixels and gaps of three, as a one-pixel dashed pen.
        pen_.setDashPattern({6.0, 3.0});
    } else {
        pen_.setStyle(Qt::SolidLine);
    }
    painter_.setPen(pen_);
}

void QtCanvas::drawLine(CanvasPoint from, CanvasPoint to) {
    painter_.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
}

void QtCanvas::drawPolyline(std::span<const CanvasPoint> points) {
    if (points.size() < 2) return;
    polyline_.resize(static_cast<qsizetype>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) polyline_[static_cast<qsizetype>(i)] = QPoint(points[i].x, points[i].y);
    painter_.drawPolyline(polyline_.constData(), static_cast<int>(polyline_.size()));
}

void QtCanvas::drawRectangle(const CanvasRect& rect) {
    if (rect.width() <= 0 || rect.height() <= 0) return;
    // A one-pixel outline of QRect(x, y, w - 1, h - 1) covers the rectangle's inside edge.
    painter_.drawRect(QRect(rect.left, rect.top, rect.width() - 1, rect.height() - 1));
}

void QtCanvas::fillRectangle(const CanvasRect& rect, Colour colour) {
    if (rect.width() <= 0 || rect.height() <= 0) return;
    painter_.fillRect(QRect(rect.left, rect.top, rect.width(), rect.height()), ToQColor(colour));
}

void QtCanvas::setClip(const CanvasRect& rect) {
    painter_.setClipRect(QRect(rect.left, rect.top, std::max(0, rect.width()), std::max(0, rect.height())));
}

void QtCanvas::clearClip() { painter_.setClipping(false); }

void QtCanvas::setTextColour(Colour colour) { textColour_ = ToQColor(colour); }

void QtCanvas::drawText(CanvasPoint topLeft, std::string_view text) {
    const QString string = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    painter_.save();
    painter_.setPen(textColour_);
    painter_.drawText(QPoint(topLeft.x, topLeft.y + metrics_.ascent()), string);
    painter_.restore();
}

TextExtent QtCanvas::textExtent(std::string_view text) const {
    const QString string = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    return {metrics_.horizontalAdvance(string), metrics_.height()};
}

}  // namespace tonewell

#pragma once
// The Canvas of the Qt program: a QPainter on a QImage back buffer that the view widget copies
// to the screen in one step. The image must outlive the canvas. UI thread only.

#include "platform/Canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace tonewell {

class QtCanvas : public Canvas {
public:
    // Draws on image with font (the view's font; its metrics give textExtent).
    QtCanvas(QImage& image, const QFont& font);

    static QColor ToQColor(Colour colour);

    std::int32_t width() const override;
    std::int32_t height() const override;
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

private:
    QImage& image_;
    QPainter painter_;
    QFontMetrics metrics_;
    QPen pen_;
    QColor textColour_;
    QVector<QPoint> polyline_;  // reused between calls
};

}  // namespace tonewell

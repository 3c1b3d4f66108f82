#include "app/qt/Artwork.h"

#include "app/FrameCommands.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>
#include <numbers>

namespace tonewell {

namespace {

const QColor kScreen(16, 32, 44);
const QColor kTrace(80, 230, 160);
const QColor kTraceB(255, 196, 64);
const QColor kAccent(236, 110, 60);

using Painting = std::function<void(QPainter&, double size)>;

QPixmap Paint(int size, const Painting& paint) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, size);
    return pixmap;
}

QIcon IconOf(const Painting& paint) {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(Paint(size, paint));
    return icon;
}

// A wave across a box, from its left to its right edge.
QPainterPath Wave(const QRectF& box, double cycles, double phase = 0.0) {
    QPainterPath path;
    const int steps = 64;
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const double y = box.center().y() - 0.5 * box.height() * std::sin(2 * std::numbers::pi * cycles * t + phase);
        const QPointF point(box.left() + t * box.width(), y);
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    return path;
}

void Screen(QPainter& p, const QRectF& box, double size) {
    p.setPen(QPen(QColor(70, 90, 100), size / 24));
    p.setBrush(kScreen);
    p.drawRoundedRect(box, size / 10, size / 10);
}

void PaintProgram(QPainter& p, double s) {
    QLinearGradient fill(0, 0, 0, s);
    fill.setColorAt(0, QColor(28, 70, 92));
    fill.setColorAt(1, QColor(8, 22, 32));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.18, s * 0.18);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kTrace, s / 14, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(Wave(QRectF(s * 0.16, s * 0.22, s * 0.68, s * 0.36), 1.5));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    const double bar = s * 0.1;
    const double heights[] = {0.22, 0.14, 0.18, 0.08};
    for (int i = 0; i < 4; ++i)
        p.drawRect(QRectF(s * 0.2 + i * bar * 1.5, s * 0.84 - s * heights[i], bar, s * heights[i]));
}

void PaintInput(QPainter& p, double s) {
    Screen(p, QRectF(s * 0.34, s * 0.14, s * 0.6, s * 0.72), s);
    p.setPen(QPen(kTrace, s / 12, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(Wave(QRectF(s * 0.06, s * 0.3, s * 0.44, s * 0.4), 1.0));
    // The record mark.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 40, 40));
    p.drawEllipse(QPointF(s * 0.68, s * 0.5), s * 0.16, s * 0.16);
}

void PaintScope(QPainter& p, double s) {
    const QRectF screen(s * 0.06, s * 0.12, s * 0.88, s * 0.76);
    Screen(p, screen, s);
    p.setPen(QPen(QColor(60, 100, 90), std::max(1.0, s / 32), Qt::DotLine));
    p.drawLine(QPointF(screen.left(), screen.center().y()), QPointF(screen.right(), screen.center().y()));
    p.drawLine(QPointF(screen.center().x(), screen.top()), QPointF(screen.center().x(), screen.bottom()));
    p.setPen(QPen(kTrace, s / 14, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(Wave(screen.adjusted(s * 0.08, s * 0.16, -s * 0.08, -s * 0.16), 1.5));
}

void PaintSpectrum(QPainter& p, double s) {
    const QRectF screen(s * 0.06, s * 0.12, s * 0.88, s * 0.76);
    Screen(p, screen, s);
    p.setPen(Qt::NoPen);
    p.setBrush(kTraceB);
    const double heights[] = {0.56, 0.3, 0.42, 0.18, 0.24, 0.1};
    const double width = s * 0.1;
    for (int i = 0; i < 6; ++i)
        p.drawRect(QRectF(s * 0.16 + i * width * 1.25, s * 0.8 - s * heights[i], width, s * heights[i]));
}

void PaintOutput(QPainter& p, double s) {
    // A loudspeaker with the sound leaving it.
    QPainterPath speaker;
    speaker.moveTo(s * 0.1, s * 0.38);
    speaker.lineTo(s * 0.26, s * 0.38);
    speaker.lineTo(s * 0.46, s * 0.18);
    speaker.lineTo(s * 0.46, s * 0.82);
    speaker.lineTo(s * 0.26, s * 0.62);
    speaker.lineTo(s * 0.1, s * 0.62);
    speaker.closeSubpath();
    p.setPen(QPen(QColor(40, 60, 70), s / 24));
    p.setBrush(QColor(90, 120, 140));
    p.drawPath(speaker);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kAccent, s / 12, Qt::SolidLine, Qt::RoundCap));
    for (double r : {0.18, 0.32}) p.drawArc(QRectF(s * (0.5 - r), s * (0.5 - r), 2 * r * s, 2 * r * s), -45 * 16, 90 * 16);
}

// Two arrows passing each other: the other bar of the slot.
void PaintSwitch(QPainter& p, double s) {
    p.setPen(QPen(QColor(50, 80, 100), s / 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    auto arrow = [&](double y, bool right) {
        const double from = right ? s * 0.14 : s * 0.86;
        const double to = right ? s * 0.86 : s * 0.14;
        const double head = right ? -s * 0.16 : s * 0.16;
        p.drawLine(QPointF(from, y), QPointF(to, y));
        p.drawLine(QPointF(to, y), QPointF(to + head, y - s * 0.14));
        p.drawLine(QPointF(to, y), QPointF(to + head, y + s * 0.14));
    };
    arrow(s * 0.32, true);
    arrow(s * 0.68, false);
}

}  // namespace

QIcon ProgramIcon() { return IconOf(PaintProgram); }

QIcon CommandIcon(int commandId) {
    switch (commandId) {
    case kCommandRunStopInput: return IconOf(PaintInput);
    case kCommandScopePane: return IconOf(PaintScope);
    case kCommandSpectrumPane: return IconOf(PaintSpectrum);
    case kCommandRunStopOutput: return IconOf(PaintOutput);
    case kCommandShowSamplingBar:
    case kCommandShowTriggerBar:
    case kCommandShowScopeBar1:
    case kCommandShowScopeBar2:
    case kCommandShowSpectrumBar1:
    case kCommandShowSpectrumBar2: return IconOf(PaintSwitch);
    default: return {};
    }
}

QPixmap SplashPicture() {
    const int width = 520;
    const int height = 300;
    QPixmap pixmap(width, height);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(20, 58, 80));
    sky.setColorAt(1, QColor(4, 12, 20));
    p.fillRect(pixmap.rect(), sky);

    // A faint graticule behind the traces.
    p.setPen(QPen(QColor(255, 255, 255, 22), 1));
    for (int x = 20; x < width; x += 40) p.drawLine(x, 0, x, height);
    for (int y = 10; y < height; y += 40) p.drawLine(0, y, width, y);

    const QRectF band(0, 120, width, 90);
    p.setPen(QPen(QColor(kTrace.red(), kTrace.green(), kTrace.blue(), 230), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(Wave(band, 3.5));
    p.setPen(QPen(QColor(kTraceB.red(), kTraceB.green(), kTraceB.blue(), 170), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(Wave(band.adjusted(0, 22, 0, -22), 7.0, 1.0));

    // A spectrum rising at the right.
    p.setPen(Qt::NoPen);
    const double bars[] = {0.9, 0.35, 0.6, 0.2, 0.4, 0.12, 0.25, 0.08};
    for (int i = 0; i < 8; ++i) {
        const double h = 70 * bars[i];
        p.setBrush(QColor(kAccent.red(), kAccent.green(), kAccent.blue(), 200));
        p.drawRect(QRectF(width - 150 + i * 16, 282 - h, 11, h));
    }

    p.setPen(Qt::white);
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(54);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRectF(28, 26, width - 56, 70), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tonewell"));

    QFont line(QStringLiteral("DejaVu Sans"));
    line.setPixelSize(15);
    p.setFont(line);
    p.setPen(QColor(200, 225, 235));
    p.drawText(QRectF(30, 90, width - 60, 24), Qt::AlignLeft,
               QStringLiteral("Signal generator \u00b7 Oscilloscope \u00b7 Spectrum analyser"));
    line.setPixelSize(13);
    p.setFont(line);
    p.drawText(QRectF(30, 248, 300, 20), Qt::AlignLeft, QStringLiteral("Quendal Technology"));
    p.drawText(QRectF(30, 266, 300, 20), Qt::AlignLeft, QStringLiteral("Version 1.0"));

    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, width - 1, height - 1));
    return pixmap;
}

}  // namespace tonewell

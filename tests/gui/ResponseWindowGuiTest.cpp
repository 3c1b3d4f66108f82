// The Frequency Response window on the real-time loopback cable: Run greys the settings and
// offers Cancel, the window's own polling takes the end while the event loop runs on, and the
// flat response is painted with the exports offered.

#include "app/qt/ResponseWindow.h"
#include "platform/audio/LoopbackCable.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <chrono>

namespace tonewell {
namespace {

TEST(ResponseWindowTest, RunMeasuresWhileTheEventLoopRunsAndPaintsTheResponse) {
    LoopbackCable cable(LoopbackClock::RealTime);
    ResponseWindow window(cable, {}, nullptr);
    window.findChild<QLineEdit*>(QStringLiteral("seconds"))->setText(QStringLiteral("1"));
    auto* run = window.findChild<QPushButton*>(QStringLiteral("run"));
    auto* exportText = window.findChild<QPushButton*>(QStringLiteral("exportText"));
    window.show();
    EXPECT_FALSE(exportText->isEnabled());
    run->click();
    EXPECT_FALSE(run->isEnabled());
    EXPECT_FALSE(window.findChild<QLineEdit*>(QStringLiteral("from"))->isEnabled());
    EXPECT_TRUE(window.findChild<QPushButton*>(QStringLiteral("cancel"))->isEnabled());
    const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (window.model().running() && std::chrono::steady_clock::now() < bound)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("status"))->text(), QStringLiteral("Measured"));
    EXPECT_TRUE(run->isEnabled());
    EXPECT_TRUE(exportText->isEnabled());
    EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("latency"))->text().startsWith(QStringLiteral("Latency ")));
    window.plot()->repaint();
    const QImage& picture = window.plot()->backBuffer();
    int magnitude = 0;  // pixels of the magnitude curve's colour
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) magnitude += picture.pixel(x, y) == qRgb(0, 0, 200);
    EXPECT_GT(magnitude, picture.width() / 2);
}

}  // namespace
}  // namespace tonewell

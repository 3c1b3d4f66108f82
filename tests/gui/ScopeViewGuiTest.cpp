// What only Qt can show of the oscilloscope: its picture in pixels and its window's scroll bars.

#include "plot/qt/PlotPicture.h"
#include "scope/qt/ScopeViewWidget.h"

#include "scope/ScopeViewHarness.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>

#include <cmath>

namespace tonewell {
namespace {

constexpr double kPi = 3.141592653589793;

class ScopePictureTest : public ::testing::Test {
protected:
    // A slow sine of 0.6 V on A (period 2000 samples at 10 kHz) in "100ms" at "±1v".
    void SetUp() override {
        h.SetRecord(kSamplingTypeA, testing::ScopeViewHarness::Sine(3000, 0.6 * 32768, 2000));
        h.SelectDefaults();
        h.Select(h.bars.timeRange, RangeTableId::ScopeTimeRange, "100ms");
        h.startupStage = 0;
        h.InitialUpdate();
    }

    testing::ScopeViewHarness h;
};

TEST_F(ScopePictureTest, TheSameRecordGivesTheSamePngTwice) {
    testing::TempDir dir;
    ASSERT_TRUE(WritePlotPicture(h.view, dir / "a.png", QSize(800, 500)));
    ASSERT_TRUE(WritePlotPicture(h.view, dir / "b.png", QSize(800, 500)));
    const std::string a = testing::readFileBytes(dir / "a.png");
    EXPECT_GT(a.size(), 1000u);
    EXPECT_EQ(a.substr(1, 3), "PNG");
    EXPECT_EQ(a, testing::readFileBytes(dir / "b.png"));
    const QImage image(QString::fromStdString((dir / "a.png").string()));
    EXPECT_EQ(image.size(), QSize(800, 500));
}

TEST_F(ScopePictureTest, APictureThatCannotBeWrittenLeavesTheOldFile) {
    testing::TempDir dir;
    testing::writeFileBytes(dir / "old.png", "previous");
    EXPECT_FALSE(WritePlotPicture(h.view, dir / "old.png", QSize(0, 500)));
    EXPECT_FALSE(WritePlotPicture(h.view, dir / "missing" / "new.png", QSize(800, 500)));
    EXPECT_EQ(testing::readFileBytes(dir / "old.png"), "previous");
}

TEST_F(ScopePictureTest, TracePixelsLieWhereValueToPixelASays) {
    const QImage image = RenderPlotPicture(h.view, QSize(800, 500));
    const PlotRect plot = h.view.frame().plotRect();
    const QColor blue(0, 0, 255);  // colorChannelA 0xFF0000 is blue
    int checked = 0;
    for (int x = plot.left + 1; x < plot.right; x += 7) {
        const double seconds = h.view.PixelToTime(x);
        const float volts = static_cast<float>(0.6 * std::sin(2 * kPi * seconds / 0.2));
        const int y = h.view.ValueToPixelA(volts);
        bool found = false;
        for (int dy = -1; dy <= 1; ++dy) found = found || image.pixelColor(x, y + dy) == blue;
        EXPECT_TRUE(found) << "column " << x << " row " << y;
        // And nowhere far from there in that column.
        for (int row = plot.top + 1; row < plot.bottom; ++row) {
            if (std::abs(row - y) > 3) {
                EXPECT_NE(image.pixelColor(x, row), blue) << "column " << x << " row " << row;
            }
        }
        ++checked;
    }
    EXPECT_GT(checked, 50);
}

TEST_F(ScopePictureTest, TheWindowShowsThePictureAndNamesItsBars) {
    ScopeViewWidget widget(h.view);
    widget.resize(640, 420);
    widget.grab();  // paints
    EXPECT_EQ(widget.accessibleName(), "Oscilloscope");
    EXPECT_EQ(widget.timeBar()->accessibleName(), "Oscilloscope time scroll bar");
    EXPECT_EQ(widget.barA()->accessibleName(), "Channel A scroll bar");
    EXPECT_EQ(widget.barB()->accessibleName(), "Channel B scroll bar");
    EXPECT_TRUE(widget.timeBar()->isHidden());
    EXPECT_EQ(widget.backBuffer(), RenderPlotPicture(h.view, QSize(640, 420), widget.font()));

    // x1000 shows the time bar under the picture; a drag far across the 16-bit bands in one
    // report lands where the thumb is.
    h.Select(h.bars.timeMultiplier, RangeTableId::ScopeTimeMultiplier, "x1000");
    h.panel.applyRanges();
    widget.grab();
    EXPECT_FALSE(widget.timeBar()->isHidden());
    EXPECT_EQ(widget.timeBar()->maximum(), 99900);
    widget.grab();  // the picture follows the shorter client area
    EXPECT_EQ(widget.backBuffer().height(), 420 - widget.timeBar()->height());
    for (int target : {5000, 99000, 60000, 70000}) {
        widget.timeBar()->setSliderPosition(target);
        widget.timeBar()->triggerAction(QAbstractSlider::SliderMove);
        EXPECT_EQ(h.view.frame().horizontalScroll().position, target);
        EXPECT_EQ(widget.timeBar()->value(), target);
    }
    widget.timeBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(h.view.frame().horizontalScroll().position, 70000 - 9990);

    // The A bar at the left edge once A has a multiplier.
    h.Select(h.bars.multiplierA, RangeTableId::ScopeMultiplierA, "x2");
    h.panel.applyRanges();
    widget.grab();
    EXPECT_FALSE(widget.barA()->isHidden());
    EXPECT_EQ(widget.barA()->geometry(), QRect(0, 0, 16, widget.backBuffer().height()));
    widget.barA()->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(h.view.frame().valueScroll(0).position, 300);
    EXPECT_TRUE(widget.barB()->isHidden());
}

}  // namespace
}  // namespace tonewell

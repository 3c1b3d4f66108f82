// What only Qt can show of the spectrum analyser: its picture in pixels, its window's scroll bars
// and its two axis scale dialogs.

#include "plot/qt/PlotPicture.h"
#include "spectrum/qt/SpectrumScaleDialogBoxes.h"
#include "spectrum/qt/SpectrumViewWidget.h"

#include "spectrum/SpectrumViewHarness.h"
#include "spectrum/SpectrumXScaleDialog.h"
#include "spectrum/SpectrumYScaleDialog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QScrollBar>

namespace tonewell {
namespace {

using H = testing::SpectrumViewHarness;

class SpectrumPictureTest : public ::testing::Test {
protected:
    // A 1 kHz sine of 0.5 V peak on A, a second of 44.1 kHz samples, N = 4096, in volts.
    void SetUp() override {
        h.SetRecord(kSamplingTypeA, H::Sine(44100, 16384, 44.1), {}, 44100);
        h.OpenInVolts();
        H::Pick(h.bars.fftPoints, "4096");
    }

    // The topmost pixel of channel A's colour inside the plot: (column, row).
    QPoint HighestTracePixel(const QImage& image) const {
        const PlotRect plot = h.view.frame().plotRect();
        const QColor blue(0, 0, 255);  // colorChannelA 0xFF0000 is blue
        for (int row = plot.top + 1; row < plot.bottom; ++row)
            for (int column = plot.left + 1; column < plot.right; ++column)
                if (image.pixelColor(column, row) == blue) return {column, row};
        return {-1, -1};
    }

    H h;
};

TEST_F(SpectrumPictureTest, ASineOfOneKilohertzPeaksAtTheColumnOfOneKilohertz) {
    for (SpectrumXScale x : {SpectrumXScale::Linear, SpectrumXScale::Log}) {
        for (SpectrumYScale y : {SpectrumYScale::Volt, SpectrumYScale::Db}) {
            h.panel.setScaleModes({x, y, false});
            const QImage image = RenderPlotPicture(h.view, QSize(900, 500));
            const QPoint peak = HighestTracePixel(image);
            EXPECT_NEAR(peak.x(), h.view.XToPixel(1000.0f), 1) << int(x) << int(y);
            EXPECT_NEAR(peak.y(), h.view.ResultToPixel(0, h.analysis.peakValueA()), 1) << int(x) << int(y);
        }
    }
}

TEST_F(SpectrumPictureTest, TheSameRecordGivesTheSamePngAndAFailedWriteLeavesTheOldFile) {
    testing::TempDir dir;
    ASSERT_TRUE(WritePlotPicture(h.view, dir / "a.png", QSize(800, 500)));
    ASSERT_TRUE(WritePlotPicture(h.view, dir / "b.png", QSize(800, 500)));
    const std::string a = testing::readFileBytes(dir / "a.png");
    EXPECT_EQ(a.substr(1, 3), "PNG");
    EXPECT_EQ(a, testing::readFileBytes(dir / "b.png"));
    EXPECT_EQ(QImage(QString::fromStdString((dir / "a.png").string())).size(), QSize(800, 500));

    testing::writeFileBytes(dir / "old.png", "previous");
    EXPECT_FALSE(WritePlotPicture(h.view, dir / "old.png", QSize(800, 0)));
    EXPECT_FALSE(WritePlotPicture(h.view, dir / "missing" / "new.png", QSize(800, 500)));
    EXPECT_EQ(testing::readFileBytes(dir / "old.png"), "previous");
}

TEST_F(SpectrumPictureTest, TheWindowShowsThePictureAndNamesItsBars) {
    SpectrumViewWidget widget(h.view);
    widget.resize(640, 420);
    widget.grab();  // paints
    EXPECT_EQ(widget.accessibleName(), "Spectrum analyzer");
    EXPECT_EQ(widget.frequencyBar()->accessibleName(), "Spectrum analyzer frequency scroll bar");
    EXPECT_EQ(widget.barA()->accessibleName(), "Spectrum channel A scroll bar");
    EXPECT_EQ(widget.barB()->accessibleName(), "Spectrum channel B scroll bar");
    EXPECT_TRUE(widget.frequencyBar()->isHidden());
    EXPECT_EQ(widget.backBuffer(), RenderPlotPicture(h.view, QSize(640, 420), widget.font()));

    // x1000 shows the frequency bar; a drag across the 16-bit bands in one report lands where
    // the thumb is.
    H::Pick(h.bars.xMultiplier, "x1000");
    widget.grab();
    EXPECT_FALSE(widget.frequencyBar()->isHidden());
    EXPECT_EQ(widget.frequencyBar()->maximum(), 99900);
    widget.grab();
    EXPECT_EQ(widget.backBuffer().height(), 420 - widget.frequencyBar()->height());
    for (int target : {5000, 99000, 60000, 70000}) {
        widget.frequencyBar()->setSliderPosition(target);
        widget.frequencyBar()->triggerAction(QAbstractSlider::SliderMove);
        EXPECT_EQ(h.view.frame().horizontalScroll().position, target);
        EXPECT_EQ(widget.frequencyBar()->value(), target);
    }

    // The A bar at the left edge once A has a multiplier.
    H::Pick(h.bars.multiplierA, "x5");
    widget.grab();
    EXPECT_FALSE(widget.barA()->isHidden());
    EXPECT_EQ(widget.barA()->geometry(), QRect(0, 0, 16, widget.backBuffer().height()));
    widget.barA()->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(h.view.frame().valueScroll(0).position, 0);
    EXPECT_TRUE(widget.barB()->isHidden());
}

TEST_F(SpectrumPictureTest, TheAxisDialogsHandTheirChoicesToTheViewOnOkOnly) {
    SpectrumXScaleDialog x(h.panel.scaleChoice(), h.run);
    ASSERT_TRUE(x.Open());
    {
        SpectrumXScaleDialogBox box(x);
        EXPECT_EQ(box.windowTitle(), "Spectrum Analyzer X Axis Scale");
        EXPECT_EQ(box.option(0)->text(), "Linear");
        EXPECT_TRUE(box.option(0)->isChecked());
        box.option(1)->click();
        EXPECT_EQ(x.scale.choice(), 1);
        box.reject();
    }
    EXPECT_EQ(h.panel.settings().scales.xScale, SpectrumXScale::Linear);
    {
        SpectrumXScaleDialogBox box(x);
        box.option(1)->click();
        box.accept();
    }
    EXPECT_EQ(h.panel.settings().scales.xScale, SpectrumXScale::Log);

    SpectrumYScaleDialog y(h.panel.scaleChoice(), h.run);
    ASSERT_TRUE(y.Open());
    SpectrumYScaleDialogBox box(y);
    EXPECT_EQ(box.windowTitle(), "Spectrum Analyzer Y Axis Scale");
    EXPECT_EQ(box.option(1)->accessibleName(), "dB");
    EXPECT_EQ(box.normalized()->text(), "Normalized");
    EXPECT_FALSE(box.normalized()->isChecked());
    box.option(1)->click();
    box.normalized()->click();
    EXPECT_TRUE(y.normalized.checked());
    box.accept();
    EXPECT_EQ(h.panel.settings().scales, (SpectrumScaleModes{SpectrumXScale::Log, SpectrumYScale::Db, true}));
    EXPECT_EQ(h.bars.rangeA.text(), "1");

    // Nothing opens while input monitoring runs.
    h.run.inputRunning = true;
    EXPECT_FALSE(RunSpectrumXScaleDialog(h.panel.scaleChoice(), h.run, nullptr));
    EXPECT_FALSE(RunSpectrumYScaleDialog(h.panel.scaleChoice(), h.run, nullptr));
}

}  // namespace
}  // namespace tonewell

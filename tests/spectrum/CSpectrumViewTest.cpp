#include "spectrum/CSpectrumView.h"

#include "platform/RecordingCanvas.h"
#include "shared/NumberFormat.h"
#include "spectrum/SpectrumViewHarness.h"
#include "spectrum/SpectrumXScaleDialog.h"
#include "spectrum/SpectrumYScaleDialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>

namespace tonewell {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using Action = ScrollBarControl::Action;
using Kind = RecordingCanvas::Kind;
using H = testing::SpectrumViewHarness;

// 640 x 480 with characters of 8 x 16 pixels. With A on and B "Off" the plot is 4 characters in
// from the left, 3 pixels from the right, a character and 2 pixels down and 2 characters less
// 7 pixels above the bottom; with both on it starts 2 x (16 - 3) pixels down.
constexpr PlotRect kPlotAOnly{32, 18, 637, 455};
constexpr PlotRect kPlotBoth{32, 26, 608, 455};
constexpr int kH = 438;  // kPlotAOnly's height

// Codes of n samples of Gaussian noise around the zero code.
std::vector<std::uint16_t> Noise(std::size_t n, double sd, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> normal(0.0, sd);
    std::vector<std::uint16_t> codes(n);
    for (auto& code : codes) code = static_cast<std::uint16_t>(std::clamp(32768.0 + std::round(normal(random)), 0.0, 65535.0));
    return codes;
}

class SpectrumViewTest : public ::testing::Test {
protected:
    RecordingCanvas& Draw() {
        canvas.clear();
        h.view.OnDraw(canvas);
        return canvas;
    }

    std::optional<RecordingCanvas::Operation> Text(std::string_view text) const {
        for (const auto& op : canvas.operations())
            if (op.kind == Kind::Text && op.text == text) return op;
        return std::nullopt;
    }
    std::optional<RecordingCanvas::Operation> TextStarting(std::string_view start) const {
        for (const auto& op : canvas.operations())
            if (op.kind == Kind::Text && op.text.starts_with(start)) return op;
        return std::nullopt;
    }
    std::vector<RecordingCanvas::Operation> Polylines() const { return canvas.operationsOf(Kind::Polyline); }
    std::vector<std::string> Texts() const { return canvas.texts(); }

    // The highest (smallest) row of a channel's trace.
    static std::int32_t TopRow(std::span<const CanvasPoint> points) {
        std::int32_t top = std::numeric_limits<std::int32_t>::max();
        for (const CanvasPoint& p : points) top = std::min(top, p.y);
        return top;
    }

    H h;
    RecordingCanvas canvas{640, 480, 8, 16};
};

// ---- what is drawn ----------------------------------------------------------------------------

TEST_F(SpectrumViewTest, BothChannelsOffShowGridAndFrequencyLabelsOnly) {
    h.SetRecord(kSamplingTypeAB, H::Sine(4096, 8000, 16), H::Sine(4096, 8000, 32));
    h.OpenInVolts();
    H::Pick(h.bars.rangeA, "Off");
    H::Pick(h.bars.rangeB, "Off");
    Draw();
    EXPECT_TRUE(Polylines().empty());
    // 10 kHz sampling: "5kH" from 0 to 5 kHz, then the unit and the title with its blanks.
    EXPECT_EQ(Texts(), (std::vector<std::string>{"0.00", "2.50", "5.00", "kHz", "RMS AMPLITUDE SPECTRUM         "}));
    // Four dashed lines each way, the solid frame.
    const auto lines = canvas.operationsOf(Kind::Line);
    EXPECT_EQ(lines.size(), 10u);
    EXPECT_TRUE(std::all_of(lines.begin(), lines.end(), [](const auto& op) { return op.style == PenStyle::Dash; }));
    EXPECT_EQ(canvas.operationsOf(Kind::Rectangle).size(), 1u);
    EXPECT_EQ(h.view.points().count(0) + h.view.points().count(1), 0u);
}

TEST_F(SpectrumViewTest, TwoChannelsDrawTwoTracesWithLabelsOnTheirSidesAndBothPeakReadouts) {
    // Bin 100 of A and bin 50 of B at N = 1024 and 10 kHz: 976.6 Hz and 488.3 Hz.
    h.SetRecord(kSamplingTypeAB, H::Sine(4096, 8000, 10.24), H::Sine(4096, 4000, 20.48));
    h.OpenInVolts();
    H::Pick(h.bars.fftPoints, "1024");
    Draw();
    EXPECT_EQ(h.view.frame().plotRect(), kPlotBoth);
    ASSERT_EQ(Polylines().size(), 2u);
    EXPECT_EQ(Polylines()[0].colour, h.configuration.colorChannelA);
    EXPECT_EQ(Polylines()[1].colour, h.configuration.colorChannelB);
    EXPECT_TRUE(Polylines()[0].clipped);
    EXPECT_EQ(Polylines()[0].clip, (CanvasRect{32, 26, 609, 456}));
    EXPECT_EQ(Text("FA=976.6Hz")->colour, h.configuration.colorChannelA);
    EXPECT_EQ(Text("FB=488.3Hz")->colour, h.configuration.colorChannelB);
    EXPECT_LT(Text("FA=976.6Hz")->points[0].y, Text("FB=488.3Hz")->points[0].y);
    // "1v" on both sides: A's labels left of the plot, B's right of it, both inside the picture
    // even where the margin is a little narrow for them.
    EXPECT_EQ(Text("A(V)")->points[0], (CanvasPoint{0, 5}));
    EXPECT_EQ(Text("B(V)")->points[0], (CanvasPoint{640 - 32, 5}));
    int leftLabels = 0, rightLabels = 0;
    for (const auto& op : canvas.operations()) {
        if (op.kind != Kind::Text || op.text != "0.50") continue;
        leftLabels += op.points[0].x + 32 <= kPlotBoth.left ? 1 : 0;
        rightLabels += op.points[0].x >= kPlotBoth.right ? 1 : 0;
    }
    EXPECT_EQ(leftLabels, 1);
    EXPECT_EQ(rightLabels, 1);
    EXPECT_EQ(Text("RMS AMPLITUDE SPECTRUM         ")->colour, h.configuration.colorOtherText);
}

TEST_F(SpectrumViewTest, TheNoteJoinsTheTitleWhenItIsShown) {
    h.SetRecord(kSamplingTypeA, H::Sine(2048, 8000, 16));
    h.Open();
    h.document.notes = "bench 3";
    Draw();
    EXPECT_TRUE(Text("AMPLITUDE SPECTRUM   "));
    h.document.displayNotes = true;
    Draw();
    EXPECT_TRUE(Text("AMPLITUDE SPECTRUM   :bench 3"));
}

TEST_F(SpectrumViewTest, CrossCorrelationDrawsOnlyChannelAAndReadsTheDelay) {
    // B is A three samples later: at 10 kHz a delay of 0.3 ms.
    std::vector<std::uint16_t> a = Noise(8192, 3000, 7);
    std::vector<std::uint16_t> b(a.size(), 32768);
    std::copy(a.begin(), a.end() - 3, b.begin() + 3);
    h.SetRecord(kSamplingTypeAB, a, b);
    h.OpenInVolts();
    H::Pick(h.bars.fftPoints, "1024");
    H::Pick(h.bars.type, "CCR");
    Draw();
    EXPECT_EQ(h.view.settings().type, SpectrumType::CrossCorrelation);
    EXPECT_FALSE(h.bars.rangeB.enabled());
    EXPECT_EQ(h.bars.rangeB.text(), "Off");
    ASSERT_EQ(Polylines().size(), 1u);
    EXPECT_EQ(Polylines()[0].colour, h.configuration.colorChannelA);
    EXPECT_EQ(h.view.points().count(1), 0u);
    const auto readout = TextStarting("dT=");
    ASSERT_TRUE(readout);
    EXPECT_THAT(readout->text, ::testing::StartsWith("dT=0.300ms, R=0.9"));
    EXPECT_EQ(readout->colour, h.configuration.colorChannelA);
    EXPECT_TRUE(Text("CROSS CORRELATION"));
    EXPECT_TRUE(Text("AB"));
    // The lag axis: "±100ms" spans N x Ts = 102.4 ms; 0 in the middle.
    EXPECT_EQ(h.bars.xRange.text(), "±100ms");
    EXPECT_TRUE(Text("-100"));
    EXPECT_TRUE(Text("0"));
    EXPECT_TRUE(Text("ms"));
}

// ---- the vertical axes ------------------------------------------------------------------------

TEST_F(SpectrumViewTest, OnTheDbAxisASineOfTheRangeInRmsTouchesTheTopEdgeAndOneOfItsPeakSitsOnZeroDb) {
    // 2 V full scale: 16384 codes are 1 V. Bin 64 of N = 1024 at 10 kHz.
    h.SetRecord(kSamplingTypeA, H::Sine(4096, 16384, 16), {}, 10000, 16, 2000.0f);
    h.OpenInVolts();
    H::Pick(h.bars.fftPoints, "1024");
    H::Pick(h.bars.rangeA, "1v");
    h.panel.setScaleModes({SpectrumXScale::Linear, SpectrumYScale::Db, false});
    Draw();
    // The range in RMS, 1 V, is +3 dB against a sine of 1 V peak: the top edge. 100 dB span the
    // plot, so the grid lines every 10 dB start at 0 dB, 3 dB below the top.
    const double pixelsPerDb = kH * 0.01;
    const int zeroDb = static_cast<int>(18 + 20 * std::log10(std::sqrt(2.0)) * pixelsPerDb);
    EXPECT_EQ(TopRow(h.view.points().points(0)), zeroDb);
    EXPECT_EQ(h.view.ResultToPixel(0, static_cast<float>(1.0)), 18);
    std::vector<std::string> labels;
    std::vector<int> rows;
    for (const auto& op : canvas.operations()) {
        if (op.kind == Kind::Text && (op.text == "00" || op.text.starts_with("-"))) labels.push_back(op.text);
        if (op.kind == Kind::Line && op.style == PenStyle::Solid && op.points[0].y == op.points[1].y)
            rows.push_back(op.points[0].y);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"00", "-10", "-20", "-30", "-40", "-50", "-60", "-70", "-80", "-90"}));
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[0], zeroDb);
    EXPECT_EQ(rows[1], static_cast<int>(18 + (20 * std::log10(std::sqrt(2.0)) + 10) * pixelsPerDb));
    EXPECT_TRUE(Text("A(dB)"));
    EXPECT_FALSE(Text("1.00"));  // the dB grid replaces the volt labels
    // No dashed horizontal lines: only the four vertical ones.
    int dashed = 0;
    for (const auto& op : canvas.operationsOf(Kind::Line)) dashed += op.style == PenStyle::Dash ? 1 : 0;
    EXPECT_EQ(dashed, 5);
}

TEST_F(SpectrumViewTest, BothChannelsMagnifiedOnTheDbAxisGetShortTicksOnTheirSides) {
    h.SetRecord(kSamplingTypeAB, H::Sine(4096, 16384, 16), H::Sine(4096, 16384, 32));
    h.OpenInVolts();
    h.panel.setScaleModes({SpectrumXScale::Linear, SpectrumYScale::Db, false});
    H::Pick(h.bars.multiplierA, "x2");
    H::Pick(h.bars.multiplierB, "x2");
    Draw();
    const PlotRect p = h.view.frame().plotRect();
    int leftTicks = 0, rightTicks = 0;
    for (const auto& op : canvas.operationsOf(Kind::Line)) {
        if (op.style != PenStyle::Solid || op.points[0].y != op.points[1].y) continue;
        EXPECT_EQ(op.points[1].x - op.points[0].x, 5);
        leftTicks += op.points[0].x == p.left ? 1 : 0;
        rightTicks += op.points[1].x == p.right ? 1 : 0;
    }
    // x2 with the bars centred: the middle 50 dB, from -22 dB down, with lines every 5 dB.
    EXPECT_EQ(leftTicks, 10);
    EXPECT_EQ(rightTicks, 10);
    EXPECT_FALSE(Text("-20"));
    EXPECT_TRUE(Text("-25"));
    EXPECT_TRUE(Text("-70"));
}

TEST_F(SpectrumViewTest, NormalisedAmplitudesPutEachChannelsPeakOnTheTopEdge) {
    h.SetRecord(kSamplingTypeAB, H::Sine(4096, 8000, 16), H::Sine(4096, 1000, 32));
    h.Open();  // normalised
    Draw();
    EXPECT_EQ(TopRow(h.view.points().points(0)), kPlotBoth.top);
    EXPECT_EQ(TopRow(h.view.points().points(1)), kPlotBoth.top);
    EXPECT_TRUE(Text("AMPLITUDE SPECTRUM   "));
    EXPECT_TRUE(Text("1.000"));
    EXPECT_TRUE(Text("0.500"));
    EXPECT_TRUE(Text("A"));
    EXPECT_TRUE(Text("B"));
    // On a normalised dB axis 0 dB is the top edge for each channel as well.
    h.panel.setScaleModes({SpectrumXScale::Linear, SpectrumYScale::Db, true});
    Draw();
    EXPECT_EQ(TopRow(h.view.points().points(0)), kPlotBoth.top);
    EXPECT_EQ(TopRow(h.view.points().points(1)), kPlotBoth.top);
}

struct YLabelCase {
    const char* type;
    bool normalized;
    const char* range;
    const char* multiplier;
    std::vector<std::string> labels;  // top, middle, bottom, heading
};

class SpectrumYLabels : public SpectrumViewTest, public ::testing::WithParamInterface<YLabelCase> {};

TEST_P(SpectrumYLabels, FollowTheRangeTheMultiplierAndTheType) {
    const YLabelCase& c = GetParam();
    h.SetRecord(kSamplingTypeA, H::Sine(4096, 8000, 16));
    h.Open();
    h.panel.setScaleModes({SpectrumXScale::Linear, SpectrumYScale::Volt, c.normalized});
    H::Pick(h.bars.type, c.type);
    H::Pick(h.bars.rangeA, c.range);
    H::Pick(h.bars.multiplierA, c.multiplier);
    Draw();
    std::vector<std::string> left;
    for (const auto& op : canvas.operations())
        if (op.kind == Kind::Text && op.points[0].x < h.view.frame().plotRect().left && op.colour == h.configuration.colorOtherText &&
            op.points[0].y < h.view.frame().plotRect().bottom - 8)
            left.push_back(op.text);
    EXPECT_EQ(left, c.labels);
}

INSTANTIATE_TEST_SUITE_P(
    Types, SpectrumYLabels,
    ::testing::Values(YLabelCase{"AMS", false, "1v", "Off", {"1.00", "0.50", "A(V)"}},
                      YLabelCase{"AMS", false, "20mv", "x1", {"20.0", "10.0", "A(mV)"}},
                      // x2 with the bar centred: the middle half, in millivolts.
                      YLabelCase{"AMS", false, "1v", "x2", {"750", "500", "A(mV)"}},
                      YLabelCase{"AMS", true, "1", "Off", {"1.000", "0.500", "A"}},
                      YLabelCase{"PHS", false, "±180", "Off", {"180.0", "0.0", "A(D)"}},
                      YLabelCase{"ACR", false, "±1", "Off", {"1.00", "0.00", "A"}},
                      // ±1 over 5: steps of 0.4 in thousandths.
                      YLabelCase{"ACR", false, "±1", "x5", {"0.200", "0.000", "A"}}));

// ---- points -------------------------------------------------------------------------------------

TEST_F(SpectrumViewTest, ManyPointsOnANarrowPlotGiveOnePointPerColumnThatKeepsThePeak) {
    RecordingCanvas narrow(200, 300, 8, 16);
    // Bin 2000 of N = 32768 at 10 kHz: 610.35 Hz, 0.25 V peak.
    h.SetRecord(kSamplingTypeA, H::Sine(40000, 8192, 16.384));
    h.OpenInVolts();
    H::Pick(h.bars.fftPoints, "32768");
    h.view.OnDraw(narrow);
    const PlotRect p = h.view.frame().plotRect();
    const auto points = h.view.points().points(0);
    ASSERT_EQ(points.size(), static_cast<std::size_t>(p.width()));
    for (std::size_t i = 0; i < points.size(); ++i) EXPECT_EQ(points[i].x, p.left + static_cast<int>(i));
    // The sine's bin falls between two columns' own points; its column still shows it.
    EXPECT_EQ(TopRow(points), h.view.ResultToPixel(0, h.analysis.peakValueA()));
    EXPECT_NEAR(h.analysis.peakValueA(), 0.25 / std::sqrt(2.0), 1e-3);

    // All points when the configuration asks for them: every bin up to the plot's right edge.
    h.configuration.onePointPerRaster = 0;
    h.view.invalidate();
    h.view.OnDraw(narrow);
    EXPECT_GT(h.view.points().count(0), 16000u);
    EXPECT_GT(h.view.points().capacity(), PointBuffers::kCapacityMin);
}

TEST_F(SpectrumViewTest, AMagnifiedAxisHoldsOnlyThePointsInViewAndStartsAtTheLeftEdge) {
    h.configuration.onePointPerRaster = 0;
    h.SetRecord(kSamplingTypeA, H::Sine(40000, 8192, 16.384));
    h.OpenInVolts();
    H::Pick(h.bars.fftPoints, "32768");
    H::Pick(h.bars.xMultiplier, "x100");
    Draw();
    const auto points = h.view.points().points(0);
    ASSERT_GT(points.size(), 2u);
    EXPECT_EQ(points.front().x, kPlotAOnly.left);
    EXPECT_GT(points.back().x, kPlotAOnly.right);
    // 16384 bins over 100 screens, about 164 per screen.
    EXPECT_LT(points.size(), 200u);
    EXPECT_EQ(h.view.points().capacity(), PointBuffers::kCapacityMin);
}

TEST_F(SpectrumViewTest, WhenThePointArraysCannotGrowTheViewFallsBackToOnePointPerColumn) {
    h.configuration.onePointPerRaster = 0;
    h.SetRecord(kSamplingTypeA, H::Sine(40000, 8192, 16.384));
    h.OpenInVolts();
    h.view.points().allocationLimit = 10000;
    H::Pick(h.bars.fftPoints, "32768");
    Draw();
    EXPECT_THAT(h.shell.messages(), ElementsAre("Out of memory."));
    EXPECT_TRUE(h.shell.postedCommands().empty());
    EXPECT_EQ(h.configuration.onePointPerRaster, 1);
    EXPECT_LE(h.view.points().count(0), static_cast<std::uint32_t>(kPlotAOnly.width()));  // one point per column
    EXPECT_EQ(Polylines().size(), 1u);
}

TEST_F(SpectrumViewTest, ResultsAreRecomputedOnlyWhenTheRecordChanged) {
    h.SetRecord(kSamplingTypeA, H::Sine(4096, 8000, 16));
    h.OpenInVolts();
    h.redraw.spectrumPendingDraws = 2;
    Draw();
    EXPECT_FALSE(h.analysis.spectrumDirty.load());
    EXPECT_EQ(h.redraw.spectrumPendingDraws.load(), 1);
    const std::vector<CanvasPoint> before(h.view.points().points(0).begin(), h.view.points().points(0).end());

    // New samples in the document: redraws keep the stored results until the record is reported
    // changed.
    h.document.dataA = H::Sine(4096, 8000, 32);
    h.view.invalidate();
    Draw();
    EXPECT_TRUE(std::equal(before.begin(), before.end(), h.view.points().points(0).begin(), h.view.points().points(0).end()));
    EXPECT_EQ(h.redraw.spectrumPendingDraws.load(), 0);
    h.document.RecordChanged();
    Draw();
    EXPECT_FALSE(std::equal(before.begin(), before.end(), h.view.points().points(0).begin(), h.view.points().points(0).end()));
    EXPECT_EQ(h.redraw.spectrumPendingDraws.load(), 0);
}

TEST_F(SpectrumViewTest, AHiddenPaneDrawsNothing) {
    h.SetRecord(kSamplingTypeA, H::Sine(4096, 8000, 16));
    h.OpenInVolts();
    h.panes.spectrumShown = false;
    h.redraw.spectrumPendingDraws = 1;
    Draw();
    EXPECT_TRUE(canvas.operations().empty());
    EXPECT_EQ(h.redraw.spectrumPendingDraws.load(), 1);
    EXPECT_TRUE(h.analysis.spectrumDirty.load());
}

// ---- the logarithmic axis ---------------------------------------------------------------------

TEST_F(SpectrumViewTest, TheLogAxisDrawsItsGridFromTheFirstBinWithOneTwoFiveLabels) {
    // 44100 Hz and N = 1024: fs/N = 43.07 Hz; the grid starts at 50 Hz.
    h.SetRecord(kSamplingTypeA, H::Sine(8192, 8000, 44.1), {}, 44100);
    h.OpenInVolts();
    H::Pick(h.bars.fftPoints, "1024");
    h.panel.setScaleModes({SpectrumXScale::Log, SpectrumYScale::Volt, false});
    Draw();
    std::vector<std::string> labels;
    const int labelRow = 455 + 16 / 4 - 4;
    for (const auto& op : canvas.operations())
        if (op.kind == Kind::Text && op.points[0].y == labelRow) labels.push_back(op.text);
    EXPECT_THAT(labels, ::testing::UnorderedElementsAre("50", "500", "5k", "50k", "100", "1k", "10k", "200", "2k", "20k"));
    EXPECT_TRUE(Text("Hz"));
    // The vertical lines are solid, one at 1 kHz under its label; no dashed vertical ones.
    const int kilohertz = h.view.XToPixel(1000.0f);
    bool found = false;
    for (const auto& op : canvas.operationsOf(Kind::Line)) {
        if (op.points[0].x != op.points[1].x) continue;
        EXPECT_EQ(op.style, PenStyle::Solid);
        found = found || op.points[0].x == kilohertz;
    }
    EXPECT_TRUE(found);
    const auto label = Text("1k");
    EXPECT_EQ(label->points[0].x, kilohertz - 8);
    // The trace's peak is at the sine's frequency, the 1 kHz line.
    const auto points = h.view.points().points(0);
    const auto peak = std::min_element(points.begin(), points.end(), [](CanvasPoint a, CanvasPoint b) { return a.y < b.y; });
    EXPECT_NEAR(peak->x, kilohertz, 2);
}

// ---- default ranges -----------------------------------------------------------------------------

struct DefaultRangeCase {
    std::uint32_t rate;
    const char* type;
    const char* fft;
    const char* xRange;
};

class SpectrumDefaultRanges : public SpectrumViewTest, public ::testing::WithParamInterface<DefaultRangeCase> {};

TEST_P(SpectrumDefaultRanges, CoverTheRecord) {
    const DefaultRangeCase& c = GetParam();
    h.SetRecord(kSamplingTypeA, H::Sine(2048, 8000, 16), {}, c.rate);
    h.Open();
    H::Pick(h.bars.fftPoints, c.fft);
    H::Pick(h.bars.type, c.type);
    EXPECT_EQ(h.bars.xRange.text(), c.xRange);
}

INSTANTIATE_TEST_SUITE_P(Rates, SpectrumDefaultRanges,
                         ::testing::Values(DefaultRangeCase{44100, "AMS", "512", "50kH"},
                                           DefaultRangeCase{8000, "AMS", "512", "5kH"},
                                           DefaultRangeCase{10000, "AMS", "512", "5kH"},
                                           DefaultRangeCase{44100, "ACR", "1024", "±20ms"},
                                           DefaultRangeCase{8000, "ACR", "32768", "±5s"}));

TEST_F(SpectrumViewTest, AnEmptyRecordTakesTheRateTheSamplingBarSelects) {
    h.SetRecord(kSamplingTypeA, {}, {}, 8000);
    h.acquisition.samplingRate = 44100;
    h.Open();
    EXPECT_EQ(h.bars.xRange.text(), "50kH");
    Draw();
    EXPECT_TRUE(Polylines().empty());
    EXPECT_TRUE(Text("50.0"));
}

TEST_F(SpectrumViewTest, VoltRangesStartAtTheChannelsFullScaleAndAMissingChannelIsOff) {
    h.SetRecord(kSamplingTypeA, H::Sine(2048, 8000, 16), {}, 10000, 16, 5000.0f);
    h.OpenInVolts();
    EXPECT_EQ(h.bars.rangeA.text(), "5v");
    EXPECT_EQ(h.bars.rangeB.text(), "Off");
    EXPECT_FALSE(h.bars.rangeB.enabled());
    EXPECT_FALSE(h.bars.multiplierB.enabled());
}

// ---- the type list ------------------------------------------------------------------------------

TEST_F(SpectrumViewTest, PhaseKeepsTheFrequencyRangeWhileAutoCorrelationReplacesItAndClearsTheCursors) {
    h.SetRecord(kSamplingTypeA, H::Sine(4096, 8000, 16));
    h.OpenInVolts();
    H::Pick(h.bars.xRange, "2kH");
    Draw();
    h.view.OnLButtonDown(300, 200, false);
    ASSERT_TRUE(h.view.cursors()[0].set());

    H::Pick(h.bars.type, "PHS");
    EXPECT_EQ(h.bars.xRange.text(), "2kH");
    EXPECT_EQ(h.bars.rangeA.text(), "±180");
    EXPECT_FALSE(h.view.cursors()[0].set());
    EXPECT_FALSE(h.bars.window.enabled());
    EXPECT_EQ(h.bars.window.text(), "REC");

    H::Pick(h.bars.type, "ACR");
    EXPECT_EQ(h.bars.xRange.items().front(), "±100μs");
    EXPECT_EQ(h.bars.xRangeTable(), RangeTableId::SymmetricTimeRange);
    EXPECT_EQ(h.view.settings().xRange, *h.tables[RangeTableId::SymmetricTimeRange].code(h.bars.xRange.selection()));
    EXPECT_EQ(h.bars.rangeA.text(), "±1");

    H::Pick(h.bars.type, "AMS");
    EXPECT_EQ(h.bars.xRange.text(), "5kH");
    EXPECT_EQ(h.bars.rangeA.text(), "1v");
    EXPECT_TRUE(h.bars.window.enabled());
}

TEST_F(SpectrumViewTest, ARecordOfOneChannelTakesCrossCorrelationAwayAndFallsBackToAmplitudes) {
    h.SetRecord(kSamplingTypeAB, H::Sine(4096, 8000, 16), H::Sine(4096, 8000, 16, 1.0));
    h.OpenInVolts();
    EXPECT_EQ(h.bars.type.count(), 4);
    H::Pick(h.bars.type, "CCR");
    ASSERT_EQ(h.view.settings().type, SpectrumType::CrossCorrelation);

    h.SetRecord(kSamplingTypeA, H::Sine(4096, 8000, 16));
    h.panel.syncToolbar();
    EXPECT_EQ(h.bars.type.items(), (std::vector<std::string>{"AMS", "PHS", "ACR"}));
    EXPECT_EQ(h.bars.type.text(), "AMS");
    EXPECT_EQ(h.view.settings().type, SpectrumType::Amplitude);
    EXPECT_EQ(h.bars.xRangeTable(), RangeTableId::SpectrumFrequencyRange);
    EXPECT_EQ(h.bars.rangeA.text(), "1v");
    EXPECT_FALSE(h.bars.rangeB.enabled());
    EXPECT_TRUE(h.view.settings().yRangeB.isOff());

    // Two channels again: "CCR" is offered again, B comes back with A's range.
    h.SetRecord(kSamplingTypeAB, H::Sine(4096, 8000, 16), H::Sine(4096, 8000, 16));
    h.panel.syncToolbar();
    EXPECT_EQ(h.bars.type.count(), 4);
    EXPECT_TRUE(h.bars.rangeB.enabled());
    EXPECT_EQ(h.bars.rangeB.text(), "1v");
    EXPECT_FALSE(h.view.settings().yRangeB.isOff());
}

TEST_F(SpectrumViewTest, AtStartUpThePanelsTypeAndScalesStay) {
    h.SetRecord(kSamplingTypeA, H::Sine(4096, 8000, 16));
    h.tables.setDefaultIndex(RangeTableId::SpectrumType, 1);
    h.bars.fill(h.tables, false);
    h.loadedPanel.spectrumYScale = 1;
    h.loadedPanel.spectrumNormalized = false;
    h.OpenWithPanel();
    EXPECT_EQ(h.view.settings().type, SpectrumType::Phase);
    EXPECT_EQ(h.panel.settings().scales, (SpectrumScaleModes{SpectrumXScale::Linear, SpectrumYScale::Db, false}));

    // Lists filled for volts while the panel says normalised: the view's lists follow its axis.
    h.tables.setDefaultIndex(RangeTableId::SpectrumType, 0);
    h.bars.fill(h.tables, false);
    h.loadedPanel.spectrumXScale = 1;
    h.loadedPanel.spectrumYScale = 0;
    h.loadedPanel.spectrumNormalized = true;
    h.OpenWithPanel();
    EXPECT_EQ(h.bars.yRangeTable(0), RangeTableId::SpectrumSecondRangeA);
    EXPECT_EQ(h.bars.rangeA.text(), "1");
    EXPECT_EQ(h.view.settings().yRangeA, RangeCode(0x4001));

    // A later document starts over.
    h.Open();
    EXPECT_EQ(h.view.settings().type, SpectrumType::Amplitude);
    EXPECT_EQ(h.panel.settings().scales, (SpectrumScaleModes{SpectrumXScale::Linear, SpectrumYScale::Volt, true}));
    EXPECT_EQ(h.bars.type.text(), "AMS");
    EXPECT_EQ(h.bars.rangeA.text(), "1");
}

// ---- scrolling ----------------------------------------------------------------------------------

TEST_F(SpectrumViewTest, TimesAThousandScrollsOver99900AndTheThumbStaysContinuousAcrossTheBands) {
    h.SetRecord(kSamplingTypeA, H::Sine(4096, 8000, 16));
    h.OpenInVolts();
    H::Pick(h.bars.xMultiplier, "x1000");
    Draw();
    EXPECT_TRUE(h.view.frame().horizontal.visible());
    EXPECT_EQ(h.view.frame().horizontalScroll().maximum, 99900);
    EXPECT_EQ(h.view.frame().horizontalScroll().position, 49950);  // the centre stays the centre
    // A drag reported in 16 bits in steps as the window hands it over, down across 32768 and
    // up across 32768 and 65536.
    for (int position = 49950; position >= 0; position -= 1850) {
        h.view.frame().horizontal.userScroll(Action::ThumbTrack, position);
        ASSERT_EQ(h.view.frame().horizontalScroll().position, position);
    }
    for (int position = 0; position <= 99900; position += 11100) {
        h.view.frame().horizontal.userScroll(Action::ThumbTrack, position);
        ASSERT_EQ(h.view.frame().horizontalScroll().position, position);
    }
    EXPECT_TRUE(h.shell.messages().empty());
    h.view.frame().horizontal.userScroll(Action::Top);
    h.view.frame().horizontal.userScroll(Action::PageDown);
    EXPECT_EQ(h.view.frame().horizontalScroll().position, 9990);
    // The labels follow the position: 5 kHz over 1000 screens are 5 Hz each.
    Draw();
    EXPECT_TRUE(Text("499.50"));
    EXPECT_TRUE(Text("Hz"));

    H::Pick(h.bars.xMultiplier, "x1");
    Draw();
    EXPECT_FALSE(h.view.frame().horizontal.visible());
    EXPECT_EQ(h.view.frame().horizontalScroll().position, 0);
}

TEST_F(SpectrumViewTest, ChannelMultipliersShowTheirBarsAndKeepTheValueAtTheCentre) {
    h.SetRecord(kSamplingTypeA, H::Sine(4096, 8000, 16));
    h.OpenInVolts();
    Draw();
    EXPECT_FALSE(h.view.frame().barA.visible());
    H::Pick(h.bars.multiplierA, "x2");
    Draw();
    EXPECT_TRUE(h.view.frame().barA.visible());
    EXPECT_EQ(h.view.frame().barA.geometry(), (ScrollBarControl::Geometry{0, 0, 16, 480}));
    EXPECT_EQ(h.view.frame().valueScroll(0).maximum, 300);
    EXPECT_EQ(h.view.frame().valueScroll(0).position, 150);
    EXPECT_EQ(h.view.frame().plotRect().left, 16 + 32);
    const int middle = (h.view.frame().plotRect().top + h.view.frame().plotRect().bottom) / 2;
    const float centre = h.view.PixelToY(0, middle);
    EXPECT_NEAR(centre, 0.5f, 0.005f);
    H::Pick(h.bars.multiplierA, "x10");
    Draw();
    EXPECT_NEAR(h.view.PixelToY(0, middle), centre, 0.005f);
    h.view.frame().barA.userScroll(Action::Top);
    EXPECT_EQ(h.view.frame().valueScroll(0).position, 0);
}

// ---- taps and cursors ---------------------------------------------------------------------------

TEST_F(SpectrumViewTest, CornerTapsChooseTheCursorChannelAndOtherTapsOutsideClearTheCursors) {
    h.SetRecord(kSamplingTypeAB, H::Sine(4096, 8000, 16), H::Sine(4096, 8000, 32));
    h.OpenInVolts();
    Draw();
    h.view.OnLButtonDown(300, 200, false);
    EXPECT_EQ(h.view.cursors()[0].channel, CursorChannel::A);
    h.view.OnLButtonDown(630, 5, false);  // above the right corner
    EXPECT_TRUE(h.view.cursors()[0].set());
    h.view.OnLButtonDown(320, 200, true);
    EXPECT_EQ(h.view.cursors()[1].channel, CursorChannel::B);
    h.view.OnLButtonDown(5, 5, false);  // above the left corner
    h.view.OnLButtonDown(300, 200, true);
    EXPECT_EQ(h.view.cursors()[1].channel, CursorChannel::A);

    // While the oscilloscope draws X-Y, channel B takes no cursor.
    h.frame.scope = kScopeTypeXY;
    h.view.OnLButtonDown(630, 5, false);
    h.view.OnLButtonDown(320, 200, true);
    EXPECT_EQ(h.view.cursors()[1].channel, CursorChannel::A);

    h.view.OnLButtonDown(300, 5, false);  // directly above the plot
    EXPECT_FALSE(h.view.cursors()[0].set());
    EXPECT_FALSE(h.view.cursors()[1].set());
    EXPECT_GT(h.repaints, 0);
}

TEST_F(SpectrumViewTest, TwoCursorsReadTheirDifferencesAndOneReadsItsValues) {
    h.SetRecord(kSamplingTypeA, H::Sine(4096, 8000, 16));
    h.OpenInVolts();
    Draw();
    h.view.OnLButtonDown(100, 300, false);
    Draw();
    const float x1 = h.view.PixelToX(100), y1 = h.view.PixelToY(0, 300);
    EXPECT_TRUE(Text(FormatEngineering(x1) + "Hz " + FormatEngineering(y1) + "V"));
    EXPECT_FALSE(TextStarting("FA="));  // the peak readout gives way

    h.view.OnLButtonDown(400, 150, true);
    Draw();
    const float x2 = h.view.PixelToX(400), y2 = h.view.PixelToY(0, 150);
    const auto readout = Text("F2-F1=" + FormatEngineering(x2 - x1) + "Hz;V2-V1=" + FormatEngineering(y2 - y1) + "V");
    ASSERT_TRUE(readout);
    EXPECT_EQ(readout->colour, h.configuration.colorChannelA);
    EXPECT_EQ(readout->points[0].y, kPlotAOnly.top - 16);
    // Each cursor is a cross in the complement of A's colour, inside the plot.
    int crossLines = 0;
    for (const auto& op : canvas.operationsOf(Kind::Line))
        crossLines += op.colour == 0x00FFFF ? 1 : 0;  // blue complemented
    EXPECT_EQ(crossLines, 4);

    // Cursors stay on their values when the scale changes.
    H::Pick(h.bars.rangeA, "2v");
    Draw();
    EXPECT_EQ(h.view.cursors()[1].y, h.view.YToPixel(0, y2));
    EXPECT_NE(h.view.cursors()[1].y, 150);
    // A channel switched off takes its cursors with it.
    H::Pick(h.bars.rangeA, "Off");
    EXPECT_FALSE(h.view.cursors()[0].set());
    EXPECT_FALSE(h.view.cursors()[1].set());
}

TEST_F(SpectrumViewTest, CursorsOnTheDbAxisReadDecibelsAndThePhaseReadsDegrees) {
    h.SetRecord(kSamplingTypeA, H::Sine(4096, 8000, 16));
    h.OpenInVolts();
    h.panel.setScaleModes({SpectrumXScale::Linear, SpectrumYScale::Db, false});
    Draw();
    h.view.OnLButtonDown(200, 100, false);
    h.view.OnLButtonDown(200, 100 + 44, true);  // 44 rows are 10 dB
    Draw();
    const float y1 = h.view.cursors()[0].yValue, y2 = h.view.cursors()[1].yValue;
    EXPECT_NEAR(20 * std::log10(y1 / y2), 10.05, 0.01);
    EXPECT_TRUE(Text("F2-F1=0.000Hz;V2-V1=-10.046dB"));
    EXPECT_EQ(h.view.cursors()[0].y, 100);

    H::Pick(h.bars.type, "PHS");
    Draw();
    h.view.OnLButtonDown(200, kPlotAOnly.top, false);
    Draw();
    EXPECT_TRUE(TextStarting(FormatEngineering(h.view.PixelToX(200)) + "Hz 180.0"));
    EXPECT_THAT(TextStarting(FormatEngineering(h.view.PixelToX(200)) + "Hz ")->text, ::testing::EndsWith("D"));
}

// ---- double taps and the axis dialogs -----------------------------------------------------------

TEST_F(SpectrumViewTest, DoubleTapsOpenTheAxisDialogsOnlyForAmplitudesAndNotWhileCapturing) {
    h.SetRecord(kSamplingTypeA, H::Sine(4096, 8000, 16));
    h.OpenInVolts();
    Draw();
    h.view.OnLButtonDblClk(300, 470);  // below the plot
    h.view.OnLButtonDblClk(10, 200);   // left of it
    h.view.OnLButtonDblClk(639, 200);  // right of it
    h.view.OnLButtonDblClk(300, 200);  // inside: nothing
    EXPECT_EQ(h.frame.xDialogs, 1);
    EXPECT_EQ(h.frame.yDialogs, 2);
    h.run.inputRunning = true;
    h.view.OnLButtonDblClk(300, 470);
    h.run.inputRunning = false;
    H::Pick(h.bars.type, "PHS");
    h.view.OnLButtonDblClk(300, 470);
    EXPECT_EQ(h.frame.xDialogs, 1);
}

TEST_F(SpectrumViewTest, TheAxisDialogsSetTheScalesAndNormalizedRefillsTheYRanges) {
    h.SetRecord(kSamplingTypeAB, H::Sine(4096, 8000, 16), H::Sine(4096, 8000, 32));
    h.Open();
    EXPECT_EQ(h.bars.rangeA.text(), "1");
    Draw();
    h.view.OnLButtonDown(300, 200, false);

    SpectrumXScaleDialog x(h.panel.scaleChoice(), h.run);
    ASSERT_TRUE(x.Open());
    EXPECT_EQ(x.scale.choice(), 0);
    x.scale.userChoose(1);
    x.OnOk();
    EXPECT_EQ(h.panel.settings().scales.xScale, SpectrumXScale::Log);
    EXPECT_FALSE(h.view.cursors()[0].set());
    EXPECT_TRUE(h.analysis.spectrumDirty.load());

    SpectrumYScaleDialog y(h.panel.scaleChoice(), h.run);
    ASSERT_TRUE(y.Open());
    EXPECT_TRUE(y.normalized.checked());
    y.normalized.userClick();
    y.OnOk();
    EXPECT_FALSE(h.panel.settings().scales.normalized);
    EXPECT_EQ(h.bars.yRangeTable(0), RangeTableId::SpectrumRangeA);
    EXPECT_EQ(h.bars.rangeA.text(), "1v");
    EXPECT_EQ(h.bars.rangeB.text(), "1v");
    EXPECT_EQ(h.view.settings().yRangeA, RangeCode(0x4001));

    // The same choices again change nothing.
    Draw();
    h.view.OnLButtonDown(300, 200, false);
    ASSERT_TRUE(y.Open());
    y.OnOk();
    EXPECT_TRUE(h.view.cursors()[0].set());

    h.run.inputRunning = true;
    EXPECT_FALSE(x.Open());
    EXPECT_FALSE(y.Open());
}

}  // namespace
}  // namespace tonewell

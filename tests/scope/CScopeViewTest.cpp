#include "scope/CScopeView.h"

#include "platform/RecordingCanvas.h"
#include "scope/ScopeViewHarness.h"
#include "shared/NumberFormat.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace tonewell {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using Action = ScrollBarControl::Action;
using Kind = RecordingCanvas::Kind;

// 640 x 480 with characters of 8 x 16 pixels. With A on and B "Off" and no scroll bars the plot
// is left 4 characters in, 3 pixels from the right, a character and 2 pixels down and
// 2 characters less 7 pixels above the bottom.
constexpr PlotRect kPlotAOnly{32, 18, 637, 455};
constexpr int kW = 606;
constexpr int kH = 438;

class ScopeViewTest : public ::testing::Test {
protected:
    // The record, the usual selectors, then the view's first update during start-up (the panel's
    // selectors stay).
    void Open(std::uint8_t samplingType, std::vector<std::uint16_t> a, std::vector<std::uint16_t> b = {},
              std::uint32_t rate = 10000) {
        h.SetRecord(samplingType, std::move(a), std::move(b), rate);
        h.SelectDefaults();
        h.startupStage = 0;
        h.InitialUpdate();
    }

    RecordingCanvas& Draw() {
        canvas.clear();
        h.view.OnDraw(canvas);
        return canvas;
    }

    void Select(ListControl& selector, RangeTableId table, std::string_view name) {
        h.Select(selector, table, name);
        h.panel.applyRanges();
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

    testing::ScopeViewHarness h;
    RecordingCanvas canvas{640, 480, 8, 16};
};

// Codes rising by `step` per sample from the zero code.
std::vector<std::uint16_t> Ramp(std::size_t n, int step, int start = 32768) {
    std::vector<std::uint16_t> codes(n);
    for (std::size_t i = 0; i < n; ++i) codes[i] = static_cast<std::uint16_t>(start + step * static_cast<int>(i));
    return codes;
}

// ---- what is drawn with nothing to trace ------------------------------------------------------

TEST_F(ScopeViewTest, BothRangesOffDrawGridTimeLabelsAndTitleOnly) {
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(1000, 8000, 50));
    Select(h.bars.rangeA, RangeTableId::ScopeRangeA, "Off");
    Draw();
    EXPECT_TRUE(Polylines().empty());
    EXPECT_EQ(canvas.texts(), (std::vector<std::string>{"WAVEFORM", "0.0", "5.0", "10.0", "ms"}));
    // Four dashed lines each way and the solid border.
    EXPECT_EQ(canvas.operationsOf(Kind::Line).size(), 10u);
    EXPECT_EQ(canvas.operationsOf(Kind::Rectangle).size(), 1u);
    EXPECT_EQ(h.view.points().count(0), 0u);
}

TEST_F(ScopeViewTest, AnEmptyRecordDrawsNoTraceAndNoMeasurementLine) {
    Open(kSamplingTypeA, {});
    Draw();
    EXPECT_TRUE(Polylines().empty());
    EXPECT_FALSE(TextStarting("Mean="));
    EXPECT_TRUE(Text("WAVEFORM"));
    EXPECT_TRUE(Text("10.0"));
}

TEST_F(ScopeViewTest, TenMillisecondsUnscrolledLabelTheTimeAxisInMilliseconds) {
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(1000, 8000, 50));
    Draw();
    EXPECT_EQ(h.view.frame().plotRect(), kPlotAOnly);
    const int row = 455;  // bottom + a quarter character - 4
    // With A on the first label is centred on the left edge; with B "Off" the last ends on the
    // right edge, and so does the caption.
    EXPECT_EQ(Text("0.0")->points[0], (CanvasPoint{32 - 12, row}));
    EXPECT_EQ(Text("5.0")->points[0], (CanvasPoint{32 + 605 * 5 / 10 - 12, row}));
    EXPECT_EQ(Text("10.0")->points[0], (CanvasPoint{637 - 32, row}));
    EXPECT_EQ(Text("ms")->points[0], (CanvasPoint{637 - 16, 455 + 18 - 7}));
    // A's labels in its colour beside the plot, and its caption above them.
    EXPECT_EQ(Text("1.00")->colour, h.configuration.colorChannelA);
    EXPECT_EQ(Text("1.00")->points[0], (CanvasPoint{32 - 32 - 2, 18 - 8}));
    EXPECT_TRUE(Text("0.00"));
    EXPECT_TRUE(Text("-1.00"));
    EXPECT_EQ(Text("A(V)")->points[0], (CanvasPoint{32 - 32 - 2, 18 - 16 - 5}));
    EXPECT_EQ(Text("WAVEFORM")->colour, h.configuration.colorOtherText);
}

TEST_F(ScopeViewTest, TheNoteJoinsTheTitleWheneverTheRecordHasOne) {
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(1000, 8000, 50));
    Draw();
    EXPECT_TRUE(Text("WAVEFORM"));
    h.document.notes = "bench 3";
    Draw();
    EXPECT_TRUE(Text("WAVEFORM:bench 3"));
}

// ---- trace points -----------------------------------------------------------------------------

TEST_F(ScopeViewTest, ARecordShorterThanTheScreenEndsItsRasterTraceWhereTheSamplesEnd) {
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(5000, 8000, 400));
    Select(h.bars.timeRange, RangeTableId::ScopeTimeRange, "1s");  // 10000 samples per screen
    Draw();
    // 10000 / 606 samples per column: column 303 would start at sample 4999, the last one.
    EXPECT_EQ(h.view.points().count(0), 303u);
    EXPECT_EQ(h.view.points().points(0).back().x, 32 + 302);
    EXPECT_EQ(h.view.points().points(0).front().x, 32);
    ASSERT_EQ(Polylines().size(), 1u);
    EXPECT_EQ(Polylines()[0].points.size(), 303u);
    EXPECT_TRUE(Polylines()[0].clipped);
    EXPECT_EQ(Polylines()[0].clip, (CanvasRect{32, 18, 638, 456}));
}

TEST_F(ScopeViewTest, AnAllPointsTraceCrossingTheRightEdgeEndsOnItWithTheInterpolatedValue) {
    h.configuration.onePointPerRaster = 0;
    Open(kSamplingTypeA, Ramp(1000, 10));
    Select(h.bars.timeMultiplier, RangeTableId::ScopeTimeMultiplier, "x2");  // 50 samples per screen
    Draw();  // the time bar shows
    h.view.frame().horizontal.userScroll(Action::ThumbTrack, 37);
    Draw();
    const double xOffset = 0.37 * kW;
    const double samplesPerPixel = 50.0 / kW;
    const double pixelsPerCode = kH / 65536.0;
    const double zero = 18 + kH / 2.0;
    const auto points = h.view.points().points(0);
    // The first point sits on the left edge at the interpolated start.
    const double start = xOffset * samplesPerPixel;
    EXPECT_EQ(points.front(), (CanvasPoint{32, static_cast<int>(zero - 10 * start * pixelsPerCode)}));
    // The last on the right edge, where the edge cuts the ramp.
    const double end = (xOffset + kW) * samplesPerPixel;
    EXPECT_EQ(points.back(), (CanvasPoint{637, static_cast<int>(zero - 10 * end * pixelsPerCode)}));
    // Every sample in view, and the edges: samples 19..69.
    EXPECT_EQ(points.size(), 1u + (69 - 19 + 1));
    EXPECT_TRUE(std::all_of(points.begin(), points.end(), [](CanvasPoint p) { return p.x >= 32 && p.x <= 637; }));
}

TEST_F(ScopeViewTest, TraceCapacityGrowsWithTheVisibleSamplesAndShrinksBack) {
    h.configuration.onePointPerRaster = 0;
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(30000, 8000, 100));
    Draw();
    EXPECT_EQ(h.view.points().capacity(), PointBuffers::kCapacityMin);
    Select(h.bars.timeRange, RangeTableId::ScopeTimeRange, "5s");  // the whole record in view
    Draw();
    EXPECT_EQ(h.view.points().capacity(), 30000u);
    EXPECT_EQ(h.view.points().count(0), 30000u);
    Select(h.bars.timeRange, RangeTableId::ScopeTimeRange, "100ms");  // 1000 samples + 10
    Draw();
    EXPECT_EQ(h.view.points().capacity(), PointBuffers::kCapacityMin);
    EXPECT_TRUE(h.shell.messages().empty());
}

TEST_F(ScopeViewTest, WhenGrowingFailsTheViewFallsBackToOnePointPerColumn) {
    h.configuration.onePointPerRaster = 0;
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(30000, 8000, 100));
    h.view.points().allocationLimit = 10000;
    Select(h.bars.timeRange, RangeTableId::ScopeTimeRange, "5s");
    Draw();
    EXPECT_THAT(h.shell.messages(), ElementsAre("Out of memory."));
    EXPECT_TRUE(h.shell.postedCommands().empty());  // the document stays
    EXPECT_EQ(h.configuration.onePointPerRaster, 1);
    EXPECT_EQ(h.view.points().capacity(), PointBuffers::kCapacityMin);
    EXPECT_GT(h.view.points().count(0), 100u);
    EXPECT_LE(h.view.points().count(0), static_cast<std::uint32_t>(kW));  // one point per column
    EXPECT_EQ(Polylines().size(), 1u);
}

// ---- scales and scrolling --------------------------------------------------------------------

TEST_F(ScopeViewTest, ZoomingInAndOutKeepsTheCentreInstant) {
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(2000, 8000, 50));
    Select(h.bars.timeRange, RangeTableId::ScopeTimeRange, "100ms");
    Draw();
    const int centre = (kPlotAOnly.left + kPlotAOnly.right) / 2;
    const float pixelTime = 0.1f / kW;
    const float before = h.view.PixelToTime(centre);

    Select(h.bars.timeMultiplier, RangeTableId::ScopeTimeMultiplier, "x10");
    Draw();
    EXPECT_TRUE(h.view.frame().horizontal.visible());
    EXPECT_EQ(h.view.frame().horizontalScroll().maximum, 900);
    EXPECT_NEAR(h.view.PixelToTime(centre), before, pixelTime);

    // Scrolled, then zoomed further: the new centre stays too.
    h.view.frame().horizontal.userScroll(Action::PageDown);
    Draw();
    const float scrolled = h.view.PixelToTime(centre);
    Select(h.bars.timeMultiplier, RangeTableId::ScopeTimeMultiplier, "x100");
    Draw();
    EXPECT_NEAR(h.view.PixelToTime(centre), scrolled, pixelTime / 10);

    Select(h.bars.timeMultiplier, RangeTableId::ScopeTimeMultiplier, "x1");
    Draw();
    EXPECT_FALSE(h.view.frame().horizontal.visible());
    EXPECT_EQ(h.view.frame().horizontalScroll().position, 0);
    EXPECT_EQ(h.view.frame().horizontalScroll().maximum, 10);
    EXPECT_NEAR(h.view.PixelToTime(centre), before, pixelTime);
}

TEST_F(ScopeViewTest, TheAMultiplierOffHidesItsBarAndFixesTheOffsetWhileX1ShowsIt) {
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(1000, 8000, 50));
    Draw();
    EXPECT_FALSE(h.view.frame().barA.visible());
    EXPECT_EQ(h.view.frame().valueScroll(0).position, 50);
    EXPECT_EQ(h.view.ValueToPixelA(0.0f), 18 + kH / 2);
    h.view.frame().barA.userScroll(Action::Bottom);  // hidden, so it cannot be moved
    EXPECT_EQ(h.view.frame().valueScroll(0).position, 50);

    Select(h.bars.multiplierA, RangeTableId::ScopeMultiplierA, "x1");
    Draw();
    EXPECT_TRUE(h.view.frame().barA.visible());
    EXPECT_EQ(h.view.frame().barA.geometry(), (ScrollBarControl::Geometry{0, 0, 16, 480}));
    EXPECT_EQ(h.view.frame().barA.maximum(), 200);
    EXPECT_EQ(h.view.frame().barA.position(), 100);
    EXPECT_EQ(h.view.frame().plotRect().left, 16 + 32);
    const int top = h.view.frame().plotRect().top;
    const int height = h.view.frame().plotRect().height();
    // One full screen of offset each way.
    h.view.frame().barA.userScroll(Action::ThumbTrack, 200);
    Draw();
    EXPECT_EQ(h.view.ValueToPixelA(0.0f), static_cast<int>(top + height / 2.0 - height + 0.00001));
    EXPECT_EQ(h.view.ValueToPixelA(-1.0f), top);
    h.view.frame().barA.userScroll(Action::Top);
    Draw();
    EXPECT_EQ(h.view.ValueToPixelA(0.0f), static_cast<int>(top + height / 2.0 + height + 0.00001));
}

TEST_F(ScopeViewTest, ALabelBeyondTheRangeAfterScrollingIsNotDrawn) {
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(1000, 8000, 50));
    Select(h.bars.multiplierA, RangeTableId::ScopeMultiplierA, "x1");
    Draw();  // the layout shows the bar
    h.view.frame().barA.userScroll(Action::Bottom);  // one screen up: -1 V at the top edge
    Draw();
    EXPECT_TRUE(Text("-1.00"));
    EXPECT_FALSE(Text("-2.00"));
    EXPECT_FALSE(Text("-3.00"));
    EXPECT_FALSE(Text("0.00"));
    // Half a screen up: 0 at the top, -1 in the middle, -2 beyond.
    h.view.frame().barA.userScroll(Action::ThumbTrack, 150);
    Draw();
    EXPECT_EQ(Text("0.00")->points[0].y, h.view.frame().plotRect().top - 8);
    EXPECT_TRUE(Text("-1.00"));
    EXPECT_FALSE(Text("-2.00"));
}

TEST_F(ScopeViewTest, TheTimeThumbIsFollowedAcrossSixteenBitBoundaries) {
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(1000, 8000, 50));
    Select(h.bars.timeMultiplier, RangeTableId::ScopeTimeMultiplier, "x1000");
    Draw();
    ASSERT_EQ(h.view.frame().horizontalScroll().maximum, 99900);
    ASSERT_EQ(h.view.frame().horizontalScroll().position, 49950);  // the centre stayed in the middle
    for (int target : {40000, 30000, 20000, 32000, 44000, 52000, 64000, 70000, 80000, 90000, 99900, 88000, 76000,
                       64000, 52000, 40000, 30000}) {
        h.view.frame().horizontal.userScroll(Action::ThumbTrack, target);
        ASSERT_EQ(h.view.frame().horizontalScroll().position, target);
    }
    h.view.frame().horizontal.userScroll(Action::PageUp);
    EXPECT_EQ(h.view.frame().horizontalScroll().position, 30000 - 9990);
    h.view.frame().horizontal.userScroll(Action::Top);
    h.view.frame().horizontal.userScroll(Action::LineUp);
    EXPECT_EQ(h.view.frame().horizontalScroll().position, 0);
    h.view.frame().horizontal.userScroll(Action::EndScroll, 500);
    EXPECT_EQ(h.view.frame().horizontalScroll().position, 0);
    EXPECT_TRUE(h.shell.messages().empty());
}

// ---- types ------------------------------------------------------------------------------------

class ScopeSumAndDifference : public ScopeViewTest, public ::testing::WithParamInterface<int> {};

TEST_P(ScopeSumAndDifference, ForceBOffAndPlotTheCombinedCodesScaledByA) {
    const int type = GetParam();
    h.configuration.onePointPerRaster = 0;
    Open(kSamplingTypeAB, Ramp(200, 20), Ramp(200, -5, 33000));
    Select(h.bars.rangeB, RangeTableId::ScopeRangeB, "±2v");
    h.bars.type.setSelection(type);
    h.panel.typeChanged();
    EXPECT_EQ(h.view.settings().type, type);
    EXPECT_TRUE(h.view.settings().bRange.isOff());
    EXPECT_EQ(h.bars.rangeB.selection(), 0);
    EXPECT_FALSE(h.bars.rangeB.enabled());
    EXPECT_FALSE(h.bars.multiplierB.enabled());
    Draw();
    EXPECT_EQ(h.view.points().count(1), 0u);
    ASSERT_EQ(Polylines().size(), 1u);
    const auto points = h.view.points().points(0);
    const double pixelsPerCode = h.view.frame().plotRect().height() / 65536.0;
    const double zero = h.view.frame().plotRect().top + h.view.frame().plotRect().height() / 2.0;
    const int i = 40;  // point i + 1 is sample i + 1 (point 0 is the left edge)
    const int a = 20 * (i + 1);
    const int b = 232 - 5 * (i + 1);
    const int combined = type == 1 ? a + b : a - b;
    EXPECT_EQ(points[i + 1].y, static_cast<int>(zero - combined * pixelsPerCode));
    EXPECT_TRUE(Text(type == 1 ? "A+B(V)" : "A-B(V)"));
    // The A line carries the statistics of the combination.
    const float volts = 2.0f / 65536.0f;
    EXPECT_NEAR(h.document.maxA, (type == 1 ? 20 * 199 + 232 - 5 * 199 : 20 * 199 - 232 + 5 * 199) * volts, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Types, ScopeSumAndDifference, ::testing::Values(1, 2));

TEST_F(ScopeViewTest, BackFromTheSumTheBSelectorsTakeTheARows) {
    Open(kSamplingTypeAB, Ramp(200, 20), Ramp(200, -5));
    Select(h.bars.multiplierA, RangeTableId::ScopeMultiplierA, "x2");
    h.bars.type.setSelection(1);
    h.panel.typeChanged();
    h.bars.type.setSelection(0);
    h.panel.typeChanged();
    EXPECT_EQ(h.bars.rangeB.selection(), h.bars.rangeA.selection());
    EXPECT_EQ(h.bars.multiplierB.selection(), h.bars.multiplierA.selection());
    EXPECT_TRUE(h.bars.rangeB.enabled());
    EXPECT_EQ(h.view.settings().bRange, h.view.settings().aRange);
    EXPECT_EQ(h.view.settings().bMultiplier, 2u);
}

TEST_F(ScopeViewTest, LissajousJoinsTheAColumnsWithTheBRows) {
    h.configuration.onePointPerRaster = 0;
    Open(kSamplingTypeAB, testing::ScopeViewHarness::Sine(100, 16000, 100),
         testing::ScopeViewHarness::Sine(100, 8000, 100, 1.5707963));
    Select(h.bars.timeMultiplier, RangeTableId::ScopeTimeMultiplier, "x2");
    h.bars.type.setSelection(3);
    h.panel.typeChanged();
    // The B range was "Off" and is fitted to the record; the multipliers go "Off" and x1.
    EXPECT_EQ(h.view.settings().bRange, RangeCode(0xC001));
    EXPECT_EQ(h.view.settings().xMultiplier, 1u);
    EXPECT_FALSE(h.bars.timeMultiplier.enabled());
    EXPECT_FALSE(h.bars.multiplierA.enabled());
    Draw();
    EXPECT_TRUE(Text("LISSAJOUS PATTERN"));
    EXPECT_TRUE(Text("A(V)"));
    EXPECT_TRUE(Text("B(V)"));
    const PlotRect plot = h.view.frame().plotRect();
    EXPECT_EQ(plot.right, 640 - 3);  // no B labels at the right in this type
    ASSERT_EQ(Polylines().size(), 1u);
    const std::vector<CanvasPoint> figure = Polylines()[0].points;
    EXPECT_EQ(figure.size(), 100u);
    const double x0 = plot.left + plot.width() / 2.0;
    const double y0 = plot.top + plot.height() / 2.0;
    const int i = 30;  // point i is sample i
    const double a = h.document.dataA[i] - 32768.0;
    const double b = h.document.dataB[i] - 32768.0;
    EXPECT_EQ(figure[i].x, static_cast<int>(x0 + a * plot.width() / 65536.0));
    EXPECT_EQ(figure[i].y, static_cast<int>(y0 - b * plot.height() / 65536.0));
    EXPECT_EQ(Polylines()[0].colour, h.configuration.colorChannelA);
}

// ---- selector states and auto-ranging -------------------------------------------------------

TEST_F(ScopeViewTest, AutoRangeFitsTimeAndVoltsToTheRecord) {
    h.SetRecord(kSamplingTypeAB, testing::ScopeViewHarness::Sine(10000, 8000, 50), {}, 10000, 16, 5000.0f);
    h.startupStage = 2;
    h.InitialUpdate();
    // One second exactly: "1s" is the first range longer than that by its 0.00001.
    EXPECT_EQ(h.bars.timeRange.selection(), *h.tables[RangeTableId::ScopeTimeRange].rowNamed("1s"));
    EXPECT_EQ(h.bars.rangeA.selection(), *h.tables[RangeTableId::ScopeRangeA].rowNamed("±5v"));
    EXPECT_EQ(h.bars.rangeB.selection(), *h.tables[RangeTableId::ScopeRangeB].rowNamed("±5v"));
    EXPECT_EQ(h.view.settings().aRange, RangeCode(0xC005));
    EXPECT_EQ(h.view.settings().bRange, RangeCode(0xC005));
    EXPECT_EQ(h.bars.multiplierA.selection(), 0);
    EXPECT_EQ(h.view.settings().type, 0);
    EXPECT_EQ(h.redraw.scopePendingDraws.load(), 0);
}

TEST_F(ScopeViewTest, AutoRangeTakesTheLargestRangeForAFullScaleBeyondFiftyVolts) {
    h.SetRecord(kSamplingTypeA, testing::ScopeViewHarness::Sine(100, 8000, 50), {}, 10000, 16, 80000.0f);
    h.InitialUpdate();  // fitted to the record
    EXPECT_EQ(h.view.settings().aRange, RangeCode(0xC032));
    EXPECT_EQ(h.bars.rangeB.selection(), 0);
    EXPECT_FALSE(h.bars.rangeB.enabled());
    EXPECT_FALSE(h.bars.type.enabled());
}

TEST_F(ScopeViewTest, ARecordOfBAloneHasNoARangeAndItsBRangeFitted) {
    h.SetRecord(kSamplingTypeB, {}, testing::ScopeViewHarness::Sine(100, 8000, 50), 10000, 16, 200.0f);
    h.InitialUpdate();  // fitted to the record
    EXPECT_TRUE(h.view.settings().aRange.isOff());
    EXPECT_FALSE(h.bars.rangeA.enabled());
    EXPECT_FALSE(h.bars.multiplierA.enabled());
    EXPECT_EQ(h.view.settings().bRange, RangeCode(0xB0C8));  // ±200mv
    RecordingCanvas& c = Draw();
    EXPECT_EQ(h.view.points().count(1), h.view.points().points(1).size());
    EXPECT_GT(h.view.points().count(1), 1u);
    EXPECT_TRUE(TextStarting("Mean="));
    EXPECT_EQ(TextStarting("Mean=")->colour, h.configuration.colorChannelB);
    EXPECT_EQ(c.operationsOf(Kind::Polyline).size(), 1u);
}

TEST_F(ScopeViewTest, TheStatisticsFollowTheTypeWhenARecordOfOneChannelEndsTheSum) {
    Open(kSamplingTypeAB, Ramp(100, 100), Ramp(100, 0, 32768 + 8000));
    h.bars.type.setSelection(1);
    h.panel.typeChanged();
    const float volts = 2.0f / 65536.0f;
    EXPECT_NEAR(h.document.maxA, (9900 + 8000) * volts, 1e-6);
    // A record of A alone, opened with the type the view had (as the frame opens it).
    h.SetRecord(kSamplingTypeA, Ramp(100, 100));
    ASSERT_EQ(h.view.settings().type, 1);
    h.InitialUpdate();
    EXPECT_EQ(h.view.settings().type, 0);
    EXPECT_NEAR(h.document.maxA, 9900 * volts, 1e-6);
}

TEST_F(ScopeViewTest, AnEnabledSelectorTakesItsTwinsRowWhenItStoodOnOff) {
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(100, 8000, 50));
    Select(h.bars.multiplierA, RangeTableId::ScopeMultiplierA, "x5");
    EXPECT_FALSE(h.bars.rangeB.enabled());
    EXPECT_EQ(h.bars.rangeB.selection(), 0);
    // A record of both channels arrives.
    h.SetRecord(kSamplingTypeAB, testing::ScopeViewHarness::Sine(100, 8000, 50), {});
    h.panel.updateSelectorStates();
    EXPECT_TRUE(h.bars.rangeB.enabled());
    EXPECT_EQ(h.bars.rangeB.selection(), h.bars.rangeA.selection());
    EXPECT_EQ(h.bars.multiplierB.selection(), h.bars.multiplierA.selection());
    EXPECT_TRUE(h.bars.type.enabled());
    EXPECT_EQ(h.view.settings().bRange, RangeCode(0xC001));
    EXPECT_EQ(h.view.settings().bMultiplier, 5u);
    // Showing the generator's output locks the time range.
    h.run.displayInScopeActive = true;
    h.panel.updateSelectorStates();
    EXPECT_FALSE(h.bars.timeRange.enabled());
}

// ---- measurements and cursors -----------------------------------------------------------------

TEST_F(ScopeViewTest, TheMeasurementLineShowsMeanAndRmsOrMaxAndMin) {
    // Between +0.5 V and +1 V: the extremes start from 0, so Min reads 0.
    std::vector<std::uint16_t> codes(1000);
    for (std::size_t i = 0; i < codes.size(); ++i) codes[i] = static_cast<std::uint16_t>(32768 + 16384 + (i % 2) * 16383);
    Open(kSamplingTypeA, codes);
    Draw();
    const auto line = TextStarting("Mean=");
    ASSERT_TRUE(line);
    EXPECT_THAT(line->text, ::testing::MatchesRegex("Mean=0\\.750V RMS=0\\.7[0-9][0-9]V"));
    EXPECT_EQ(line->colour, h.configuration.colorChannelA);
    EXPECT_EQ(line->points[0].y, 18 - 16 - 2);
    // A tap above the plot switches to Max/Min.
    h.view.OnLButtonDown(300, 5, false);
    Draw();
    EXPECT_TRUE(Text("Max=1.000V Min=0.000V"));
    EXPECT_FALSE(TextStarting("Mean="));
}

TEST_F(ScopeViewTest, CursorsOnTheSameChannelReadTheirDifferenceInItsColour) {
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(1000, 8000, 50));
    Draw();
    h.view.OnLButtonDown(100, 100, false);
    h.view.OnLButtonDown(200, 150, false);  // Caps Lock off: cursor 1 moves
    EXPECT_TRUE(h.view.cursors()[0].set());
    EXPECT_FALSE(h.view.cursors()[1].set());
    EXPECT_EQ(h.view.cursors()[0].x, 200);
    Draw();
    const float t1 = h.view.PixelToTime(200);
    const float v1 = h.view.PixelToValueA(150);
    EXPECT_TRUE(Text(FormatEngineering(t1) + "s " + FormatEngineering(v1) + "V"));
    EXPECT_FALSE(TextStarting("Mean="));
    // Its cross and number, in the complement of A's colour and A's colour.
    const Colour complementA = 0x00FFFF;  // 255 less each component of blue 0xFF0000
    EXPECT_THAT(canvas.operationsOf(Kind::Line),
                Contains(::testing::Field(&RecordingCanvas::Operation::points, ElementsAre(CanvasPoint{200, 18}, CanvasPoint{200, 455}))));
    EXPECT_EQ(Text("1")->colour, h.configuration.colorChannelA);
    EXPECT_EQ(Text("1")->points[0], (CanvasPoint{200, 150}));
    for (const auto& op : canvas.operationsOf(Kind::Line)) {
        if (op.points[0] == CanvasPoint{200, 18}) {
            EXPECT_EQ(op.colour, complementA);
        }
    }

    h.view.OnLButtonDown(400, 300, true);
    Draw();
    const float t2 = h.view.PixelToTime(400);
    const float v2 = h.view.PixelToValueA(300);
    const auto readout = Text("T2-T1=" + FormatEngineering(t2 - t1) + "s;B2-B1=" + FormatEngineering(v2 - v1) + "V");
    ASSERT_TRUE(readout);
    EXPECT_EQ(readout->colour, h.configuration.colorChannelA);
    EXPECT_EQ(readout->points[0].y, 18 - 16);
    EXPECT_TRUE(Text("2"));
}

TEST_F(ScopeViewTest, CursorsOnDifferentChannelsReadInTheOtherTextColour) {
    Open(kSamplingTypeAB, testing::ScopeViewHarness::Sine(1000, 8000, 50), {});
    Select(h.bars.rangeB, RangeTableId::ScopeRangeB, "±2v");
    Draw();
    const PlotRect plot = h.view.frame().plotRect();
    h.view.OnLButtonDown(100, 100, false);
    h.view.OnLButtonDown(plot.right + 5, plot.top - 3, false);  // above right: taps now set B
    EXPECT_TRUE(h.view.cursors()[0].set());  // the channel choice keeps the cursors
    h.view.OnLButtonDown(300, 200, true);
    EXPECT_EQ(h.view.cursors()[1].channel, CursorChannel::B);
    EXPECT_FLOAT_EQ(h.view.cursors()[1].yValue, h.view.PixelToValueB(200));
    Draw();
    const auto readout = TextStarting("T2-T1=");
    ASSERT_TRUE(readout);
    EXPECT_EQ(readout->colour, h.configuration.colorOtherText);
    // Switching B off drops the cursor on B.
    Select(h.bars.rangeB, RangeTableId::ScopeRangeB, "Off");
    EXPECT_FALSE(h.view.cursors()[1].set());
    EXPECT_TRUE(h.view.cursors()[0].set());
}

TEST_F(ScopeViewTest, TapsOutsideThePlotClearTheCursorsAndTapsOnAnOffChannelSetNothing) {
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(1000, 8000, 50));
    Draw();
    h.view.OnLButtonDown(100, 100, false);
    h.view.OnLButtonDown(5, 200, false);  // beside the plot, below its top
    EXPECT_FALSE(h.view.cursors()[0].set());
    h.view.OnLButtonDown(100, 100, true);
    h.view.OnLButtonDown(300, 470, false);  // below the plot
    EXPECT_FALSE(h.view.cursors()[1].set());
    // Choosing B while it is "Off" keeps A; with A off nothing is set.
    h.view.OnLButtonDown(639, 2, false);
    h.view.OnLButtonDown(100, 100, false);
    EXPECT_EQ(h.view.cursors()[0].channel, CursorChannel::A);
    Select(h.bars.rangeA, RangeTableId::ScopeRangeA, "Off");
    Draw();
    h.view.OnLButtonDown(100, 100, false);
    EXPECT_FALSE(h.view.cursors()[0].set());
    EXPECT_GT(h.repaints, 0);
}

TEST_F(ScopeViewTest, ACursorScrolledOutOfThePlotStillGivesItsReadout) {
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(1000, 8000, 50));
    Select(h.bars.multiplierA, RangeTableId::ScopeMultiplierA, "x1");
    Draw();
    h.view.OnLButtonDown(100, 100, false);
    const PlotCursor cursor = h.view.cursors()[0];
    Select(h.bars.timeMultiplier, RangeTableId::ScopeTimeMultiplier, "x10");
    Draw();
    h.view.frame().horizontal.userScroll(Action::Bottom);
    h.view.frame().barA.userScroll(Action::Top);
    Draw();
    EXPECT_LT(h.view.cursors()[0].x, h.view.frame().plotRect().left);
    EXPECT_GT(h.view.cursors()[0].y, h.view.frame().plotRect().bottom);
    for (const auto& op : canvas.operationsOf(Kind::Line)) EXPECT_NE(op.colour, 0x00FFFFu);
    EXPECT_FALSE(Text("1"));
    EXPECT_TRUE(Text(FormatEngineering(cursor.xValue) + "s " + FormatEngineering(cursor.yValue) + "V"));
}

// ---- trigger markers ----------------------------------------------------------------------------

struct TriggerCase {
    int edge;
    int size;  // the arrow's length, negative pointing down
};

class ScopeTriggerMarkers : public ScopeViewTest, public ::testing::WithParamInterface<TriggerCase> {};

TEST_P(ScopeTriggerMarkers, MarkTheLevelAtTheLeftEdgeAndTheTriggerInstantOnTop) {
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(1000, 8000, 50));
    h.acquisition.samplingRate = 10000;
    h.acquisition.samplingBits = 16;
    h.acquisition.triggerMode = 1;
    h.acquisition.triggerEdge = GetParam().edge;
    h.acquisition.triggerLevelCode = 49151;  // 50 %
    h.acquisition.triggerDelaySamples = -50;
    Draw();
    EXPECT_TRUE(canvas.operationsOf(Kind::Line).size() == 10u);  // not before the level was edited
    h.acquisition.levelEdited = true;
    Draw();
    const float volts = static_cast<float>((49151 - 32768) * 2.0 * 1000.0 / 65536.0 * 0.001);
    const int y = h.view.ValueToPixelA(volts);
    const int size = GetParam().size;
    const auto lines = canvas.operationsOf(Kind::Line);
    const auto has = [&](CanvasPoint from, CanvasPoint to) {
        return std::any_of(lines.begin(), lines.end(), [&](const auto& op) {
            return op.points[0] == from && op.points[1] == to && op.colour == h.configuration.colorChannelA;
        });
    };
    EXPECT_TRUE(has({32 - size / 4, y}, {32 + size / 4, y}));
    EXPECT_TRUE(has({32, y}, {32, y - size}));
    // 50 samples before the record's start: 10 ms over 606 columns at 10 kHz.
    const int x = static_cast<int>(32 + 50 / (0.01 / kW * 10000));
    EXPECT_TRUE(has({x, 18}, {x, 24}));
    EXPECT_TRUE(has({x + 3, 18}, {x - 3, 18}));
}

INSTANTIATE_TEST_SUITE_P(Edges, ScopeTriggerMarkers, ::testing::Values(TriggerCase{0, 12}, TriggerCase{1, -12}));

TEST(DrawArrowMarker, DrawsTheBaseTheShaftAndTheHead) {
    RecordingCanvas canvas(100, 100);
    CScopeView::DrawArrowMarker(canvas, 50, 60, -14, 0x123456);
    const auto& ops = canvas.operations();
    ASSERT_EQ(ops.size(), 3u);
    // Quarters and halves of -14 truncate toward zero: -3 and -7.
    EXPECT_EQ(ops[0].points, (std::vector<CanvasPoint>{{53, 60}, {47, 60}}));
    EXPECT_EQ(ops[1].points, (std::vector<CanvasPoint>{{50, 60}, {50, 74}}));
    EXPECT_EQ(ops[2].points, (std::vector<CanvasPoint>{{53, 67}, {50, 74}, {47, 67}}));
    EXPECT_EQ(ops[2].colour, 0x123456u);
}

// ---- the drawing pass's bookkeeping -----------------------------------------------------------

TEST_F(ScopeViewTest, EachDrawCountsAPendingRecordDown) {
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(1000, 8000, 50));
    h.redraw.scopePendingDraws = 2;
    Draw();
    EXPECT_EQ(h.redraw.scopePendingDraws.load(), 1);
    Draw();
    Draw();
    EXPECT_EQ(h.redraw.scopePendingDraws.load(), 0);
}

class ResplitFrame : public ScopeFrameHooks {
public:
    bool giveScopeWholeHeight() override { return resplit; }
    void showScopeBar1() override { ++bar1; }
    bool resplit = false;
    int bar1 = 0;
};

TEST_F(ScopeViewTest, AHiddenPaneOrAStartupResplitDrawsNothing) {
    ResplitFrame frame;
    h.view.setFrameHooks(&frame);
    Open(kSamplingTypeA, testing::ScopeViewHarness::Sine(1000, 8000, 50));
    h.panes.scopeShown = false;
    EXPECT_TRUE(Draw().operations().empty());
    h.panes.scopeShown = true;
    frame.resplit = true;
    EXPECT_TRUE(Draw().operations().empty());
    frame.resplit = false;
    EXPECT_FALSE(Draw().operations().empty());
    h.view.OnLButtonDown(10, 10, false);
    EXPECT_EQ(frame.bar1, 1);
}

}  // namespace
}  // namespace tonewell

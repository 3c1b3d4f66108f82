#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <array>

namespace tonewell {
namespace {

using Kind = RecordingCanvas::Kind;

TEST(RecordingCanvas, RecordsEachPrimitiveWithThePenTextColourAndClipInForce) {
    RecordingCanvas canvas(320, 240, 7, 12);
    canvas.fillRectangle({0, 0, 320, 240}, 0xFFFFFF);
    canvas.setPen(0x00FF00, PenStyle::Dash);
    canvas.drawLine({1, 2}, {3, 4});
    canvas.setClip({10, 10, 100, 100});
    canvas.setPen(0xFF0000);
    const std::array<CanvasPoint, 3> trace{{{10, 50}, {11, 40}, {12, 60}}};
    canvas.drawPolyline(trace);
    canvas.drawPolyline(std::span(trace).first(1));  // one point draws nothing
    canvas.clearClip();
    canvas.drawRectangle({5, 6, 50, 60});
    canvas.setTextColour(0x006400);
    canvas.drawText({20, 30}, "2.000ms");

    const auto& ops = canvas.operations();
    ASSERT_EQ(ops.size(), 5u);
    EXPECT_EQ(ops[0].kind, Kind::Fill);
    EXPECT_EQ(ops[0].colour, 0xFFFFFFu);
    EXPECT_EQ(ops[1].kind, Kind::Line);
    EXPECT_EQ(ops[1].style, PenStyle::Dash);
    EXPECT_EQ(ops[1].colour, 0x00FF00u);
    EXPECT_FALSE(ops[1].clipped);
    EXPECT_EQ(ops[2].kind, Kind::Polyline);
    EXPECT_EQ(ops[2].points.size(), 3u);
    EXPECT_EQ(ops[2].points[1], (CanvasPoint{11, 40}));
    EXPECT_EQ(ops[2].style, PenStyle::Solid);
    EXPECT_TRUE(ops[2].clipped);
    EXPECT_EQ(ops[2].clip, (CanvasRect{10, 10, 100, 100}));
    EXPECT_EQ(ops[3].kind, Kind::Rectangle);
    EXPECT_FALSE(ops[3].clipped);
    EXPECT_EQ(ops[4].kind, Kind::Text);
    EXPECT_EQ(ops[4].colour, 0x006400u);
    EXPECT_EQ(ops[4].points.front(), (CanvasPoint{20, 30}));
    EXPECT_EQ(canvas.texts(), std::vector<std::string>{"2.000ms"});
    EXPECT_EQ(canvas.textExtent("A"), (TextExtent{7, 12}));
    EXPECT_EQ(canvas.textExtent("2.000ms"), (TextExtent{49, 12}));
}

TEST(Colour, ChannelsAreStoredRedLowBlueHigh) {
    constexpr Colour orange = MakeColour(255, 128, 0);
    EXPECT_EQ(orange, 0x0080FFu);
    EXPECT_EQ(RedOf(orange), 255);
    EXPECT_EQ(GreenOf(orange), 128);
    EXPECT_EQ(BlueOf(orange), 0);
}

}  // namespace
}  // namespace tonewell

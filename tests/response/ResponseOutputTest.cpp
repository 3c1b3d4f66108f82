// What a measured response becomes: the text table, the impulse response's WAV file, the
// magnitude axis and the picture's curves.

#include "response/ResponseFiles.h"
#include "response/ResponsePlot.h"

#include "platform/RecordingCanvas.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace tonewell {
namespace {

FrequencyResponse SmallResponse() {
    FrequencyResponse r;
    r.sampleRate = 44100;
    r.fromHz = 100;
    r.toHz = 400;
    r.frequencyHz = {100, 200, 400};
    r.magnitudeDb = {-0.0004, 1.25, -3.5};
    r.phaseDegrees = {-179.999, 0.0, 90.123};
    r.latencySeconds = 0.0123456;
    r.impulse = {0.0f, 0.5f, -0.25f};
    return r;
}

TEST(ResponseFiles, TableHasItsHeaderThenOneLinePerFrequency) {
    // No "-0.000"; a phase at -180 is written as +180.
    EXPECT_EQ(ResponseTableText(SmallResponse()),
              "frequency,magnitude,phase\n100.000,0.000,180.00\n200.000,1.250,0.00\n400.000,-3.500,90.12\n");
}

TEST(ResponseFiles, ImpulseIsAFloatWaveFileOfOneChannel) {
    testing::TempDir scratch;
    ASSERT_TRUE(WriteImpulseWave(scratch / "ir.wav", SmallResponse()));
    const std::string bytes = testing::readFileBytes(scratch / "ir.wav");
    ASSERT_EQ(bytes.size(), 58u + 12u);
    auto u32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        std::memcpy(&v, bytes.data() + at, 4);  // little-endian, as the machine
        return v;
    };
    EXPECT_EQ(bytes.substr(0, 4) + bytes.substr(8, 8) + bytes.substr(38, 4) + bytes.substr(50, 4), "RIFFWAVEfmt factdata");
    EXPECT_EQ(u32(4), bytes.size() - 8);
    EXPECT_EQ(u32(20), 3u | 1u << 16);  // IEEE float, one channel
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u32(32), 4u | 32u << 16);  // 4 bytes a frame, 32 bits
    EXPECT_EQ(u32(46), 3u);
    float second = 0;
    std::memcpy(&second, bytes.data() + 62, 4);
    EXPECT_EQ(second, 0.5f);
}

struct AxisCase {
    double smallest, largest;
    DbAxis axis;
};

class DbAxes : public ::testing::TestWithParam<AxisCase> {};

TEST_P(DbAxes, HoldEveryValueInFewRoundSteps) {
    const DbAxis axis = DbAxisFor(GetParam().smallest, GetParam().largest);
    EXPECT_EQ(axis.low, GetParam().axis.low);
    EXPECT_EQ(axis.high, GetParam().axis.high);
    EXPECT_EQ(axis.step, GetParam().axis.step);
}

INSTANTIATE_TEST_SUITE_P(DbRanges, DbAxes,
                         ::testing::Values(AxisCase{-0.02, 0.01, {-1, 1, 0.5}}, AxisCase{-60, 6, {-60, 10, 10}},
                                           AxisCase{-3.2, 9.1, {-4, 10, 2}}, AxisCase{-300, -290, {-300, -290, 2}}));

TEST(ResponsePlot, DrawsBothCurvesInsideTheirPanelsUnderTheLatency) {
    RecordingCanvas canvas(800, 500);
    DrawResponsePlot(canvas, SmallResponse());
    const auto texts = canvas.texts();
    EXPECT_EQ(texts.front(), "Latency 12.346 ms");
    const auto curves = canvas.operationsOf(RecordingCanvas::Kind::Polyline);
    ASSERT_EQ(curves.size(), 2u);
    for (const auto& curve : curves) {
        ASSERT_EQ(curve.points.size(), 3u);
        EXPECT_TRUE(curve.clipped);
        EXPECT_EQ(curve.points.front().x, curve.clip.left);
        EXPECT_EQ(curve.points.back().x, curve.clip.right - 1);
        for (const CanvasPoint& p : curve.points) EXPECT_TRUE(curve.clip.contains(p));
    }
    // The magnitude above the phase; +1.25 dB higher than 0 dB.
    EXPECT_LT(curves[0].clip.bottom, curves[1].clip.top);
    EXPECT_LT(curves[0].points[1].y, curves[0].points[0].y);
}

}  // namespace
}  // namespace tonewell

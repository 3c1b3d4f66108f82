#include "acquisition/TriggerConversions.h"

#include <gtest/gtest.h>

namespace tonewell {
namespace {

struct LevelCase {
    int percent;
    std::uint16_t code8;
    std::uint16_t code16;
};

class TriggerLevel : public ::testing::TestWithParam<LevelCase> {};

TEST_P(TriggerLevel, BecomesAnOffsetBinaryThreshold) {
    EXPECT_EQ(TriggerLevelCode(GetParam().percent, 8), GetParam().code8);
    EXPECT_EQ(TriggerLevelCode(GetParam().percent, 16), GetParam().code16);
}

INSTANTIATE_TEST_SUITE_P(Percentages, TriggerLevel,
                         ::testing::Values(LevelCase{100, 255, 65535}, LevelCase{150, 255, 65535},
                                           LevelCase{0, 128, 32768}, LevelCase{50, 191, 49151},
                                           LevelCase{-100, 1, 0},  // single precision sums to 0.998
                                           LevelCase{-1000, 1, 0}, LevelCase{-50, 64, 16384}));

TEST(TriggerDelay, IsAPercentageOfTheRecordTruncatedTowardZero) {
    EXPECT_EQ(TriggerDelaySamples(50, 441), 220);
    EXPECT_EQ(TriggerDelaySamples(-50, 441), -220);
    EXPECT_EQ(TriggerDelaySamples(100, 441), 441);
    EXPECT_EQ(TriggerDelaySamples(250, 441), 441);
    EXPECT_EQ(TriggerDelaySamples(-100, 48000000), -48000000);
    EXPECT_EQ(TriggerDelaySamples(1, 99), 0);
    EXPECT_EQ(TriggerDelaySamples(0, 441), 0);
}

}  // namespace
}  // namespace tonewell

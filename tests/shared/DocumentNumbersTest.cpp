#include "shared/DocumentNumbers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tonewell {
namespace {

struct IntervalCase {
    std::uint32_t rate;
    std::uint16_t mantissa;
    std::uint8_t exponent;
};

class NormaliseIntervalTest : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(NormaliseIntervalTest, MantissaLiesAboveOneTenthOfItsRange) {
    const IntervalCase& c = GetParam();
    const IntervalNumber n = NormaliseInterval(c.rate);
    EXPECT_EQ(n.mantissa, c.mantissa);
    EXPECT_EQ(n.exponent, c.exponent);
    EXPECT_GT(n.mantissa, 6553.5);
    // The truncated mantissa is within one unit of the true interval.
    const double interval = IntervalSeconds(n.mantissa, n.exponent);
    EXPECT_NEAR(interval * c.rate, 1.0, 1.0 / 6553.0);
}

INSTANTIATE_TEST_SUITE_P(Rates, NormaliseIntervalTest,
                         ::testing::Values(IntervalCase{44100, 22675, 3}, IntervalCase{2000, 50000, 4},
                                           IntervalCase{8000, 12500, 4}, IntervalCase{11025, 9070, 4},
                                           IntervalCase{48000, 20833, 3}, IntervalCase{96000, 10416, 3},
                                           IntervalCase{32000, 31250, 3}, IntervalCase{1, 10000, 8}));

struct RangeCase {
    int bits;
    float millivolts;
    std::int32_t max;
    std::uint8_t exponent;
};

class NormaliseVoltageRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(NormaliseVoltageRangeTest, RangeIsSymmetricAndKeepsItsVolts) {
    const RangeCase& c = GetParam();
    const VoltageRange r = NormaliseVoltageRange(c.bits, c.millivolts, c.millivolts);
    EXPECT_EQ(r.max, c.max);
    EXPECT_EQ(r.min, -c.max);
    EXPECT_EQ(r.exponent, c.exponent);
}

INSTANTIATE_TEST_SUITE_P(
    Calibrations, NormaliseVoltageRangeTest,
    ::testing::Values(RangeCase{16, 1000.0f, 1000, 9}, RangeCase{8, 1000.0f, 1000, 9},
                      RangeCase{16, 500.0f, 500, 9}, RangeCase{16, 5000.0f, 500, 10},
                      RangeCase{16, 3000.0f, 3000, 9}, RangeCase{16, 1.5f, 1500, 6},
                      RangeCase{16, 1e11f, 1000, 17},
                      // Resolutions other than 8 and 16 bits, and calibrations that are no
                      // positive number, keep +-1 V instead of looping for ever.
                      RangeCase{12, 500.0f, 1, 12}, RangeCase{16, 0.0f, 1, 12},
                      RangeCase{16, -5.0f, 1, 12}, RangeCase{16, INFINITY, 1, 12},
                      RangeCase{16, NAN, 1, 12}));

TEST(VoltageRangeTest, TinyCalibrationsStopAtTheSmallestRangeTheExponentByteHolds) {
    const VoltageRange small = NormaliseVoltageRange(16, 2e-7f, 2e-7f);  // 2e-10 V
    EXPECT_EQ(small.exponent, 0);
    EXPECT_NEAR(small.max, 200, 1);
    const VoltageRange floor = NormaliseVoltageRange(16, 1e-10f, 1e-10f);
    EXPECT_EQ(floor.exponent, 0);
    EXPECT_EQ(floor.max, 1);
    EXPECT_EQ(floor.min, -1);
}

TEST(VoltageRangeTest, EachResolutionTakesItsOwnCalibration) {
    EXPECT_EQ(NormaliseVoltageRange(8, 500.0f, 2000.0f).max, 500);
    EXPECT_EQ(NormaliseVoltageRange(16, 500.0f, 2000.0f).max, 2000);
}

TEST(ZeroLevelTest, SymmetricRangesPutZeroInTheMiddle) {
    EXPECT_EQ(ZeroLevel(1000, -1000, 16), 32768);
    EXPECT_EQ(ZeroLevel(1000, -1000, 8), 128);
    EXPECT_EQ(ZeroLevel(1, -1, 16), 32768);
    EXPECT_EQ(ZeroLevel(3000, -1000, 8), 64);
    EXPECT_EQ(ZeroLevel(0, 0, 16), 0);
    // Sixteen-bit ranges of an information block reach 32767: no overflow.
    EXPECT_EQ(ZeroLevel(32767, -32767, 16), 32768);
}

TEST(VoltsPerCodeTest, FullScaleSpansTheRange) {
    EXPECT_DOUBLE_EQ(VoltsPerCode(1000, -1000, 9, 16), 2.0 / 65536.0);
    EXPECT_DOUBLE_EQ(VoltsPerCode(500, -500, 10, 8), 10.0 / 256.0);
    EXPECT_DOUBLE_EQ(VoltsPerCode(0, 0, 12, 16), 0.0);
}

TEST(DecodeTimeRangeTest, PrefixSelectsTheUnit) {
    EXPECT_FLOAT_EQ(DecodeTimeRange(0x4000 | 5), 5.0f);
    EXPECT_FLOAT_EQ(DecodeTimeRange(0x3000 | 10), 0.010f);
    EXPECT_FLOAT_EQ(DecodeTimeRange(0x2000 | 500), 500e-6f);
    EXPECT_FLOAT_EQ(DecodeTimeRange(0), 0.0f);
}

}  // namespace
}  // namespace tonewell

#include "shared/RangeCode.h"

#include <gtest/gtest.h>

#include <limits>

namespace tonewell {
namespace {

struct Decoded {
    std::uint16_t bits;
    int mantissa;
    int prefixIndex;
    bool symmetric;
    double value;
};

class RangeCodeDecoding : public ::testing::TestWithParam<Decoded> {};

TEST_P(RangeCodeDecoding, SplitsIntoMantissaPrefixAndFlag) {
    const Decoded& expected = GetParam();
    RangeCode code(expected.bits);
    EXPECT_EQ(code.mantissa(), expected.mantissa);
    EXPECT_EQ(code.prefixIndex(), expected.prefixIndex);
    EXPECT_EQ(code.symmetric(), expected.symmetric);
    EXPECT_DOUBLE_EQ(code.value(), expected.value);
    EXPECT_EQ(RangeCode::FromParts(expected.mantissa, expected.prefixIndex, expected.symmetric), code);
}

INSTANTIATE_TEST_SUITE_P(Examples, RangeCodeDecoding,
                         ::testing::Values(Decoded{0x3014, 20, 3, false, 0.020},
                                           Decoded{0xB014, 20, 3, true, 0.020},
                                           Decoded{0x41F4, 500, 4, false, 500.0},
                                           Decoded{0x2064, 100, 2, false, 100e-6},
                                           Decoded{0xC0B4, 180, 4, true, 180.0},
                                           Decoded{0x5064, 100, 5, false, 100e3},
                                           Decoded{0x6FFF, 4095, 6, false, 4095e6},
                                           Decoded{0x0001, 1, 0, false, 1e-12}));

TEST(RangeCode, ZeroIsOff) {
    EXPECT_TRUE(RangeCode().isOff());
    EXPECT_EQ(RangeCode().value(), 0.0);
    EXPECT_FALSE(RangeCode(0x8000).isOff());
}

TEST(SamplesInSpan, CountsWholeSamplesExactly) {
    EXPECT_EQ(SamplesInSpan(RangeCode(0x300A), 44100), 441);    // 10 ms
    EXPECT_EQ(SamplesInSpan(RangeCode(0x300A), 48000), 480);
    EXPECT_EQ(SamplesInSpan(RangeCode(0x2064), 44100), 4);      // 100 us: 4.41
    EXPECT_EQ(SamplesInSpan(RangeCode(0x21F4), 96000), 48);     // 500 us, exactly
    EXPECT_EQ(SamplesInSpan(RangeCode(0x3064), 44100), 4410);   // 100 ms
    EXPECT_EQ(SamplesInSpan(RangeCode(0x41F4), 96000), 48000000);
    EXPECT_EQ(SamplesInSpan(RangeCode(0x2064), 2000), 0);
    EXPECT_EQ(SamplesInSpan(RangeCode(0xB00A), 44100), 441);    // the symmetric flag is no part of the span
}

TEST(SamplesInSpan, NoRateGivesNothingAndHugeSpansSaturate) {
    EXPECT_EQ(SamplesInSpan(RangeCode(0x300A), 0), 0);
    EXPECT_EQ(SamplesInSpan(RangeCode(0x300A), -44100), 0);
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(SamplesInSpan(RangeCode(0x7FFF), kMax / 2), kMax);
    EXPECT_EQ(SamplesInSpan(RangeCode(0x7FFF), 4'000'000'000LL), kMax);
}

}  // namespace
}  // namespace tonewell

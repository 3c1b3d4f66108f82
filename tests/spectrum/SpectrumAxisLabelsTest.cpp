#include "spectrum/SpectrumAxisLabels.h"

#include "shared/RangeTables.h"
#include "spectrum/SpectrumSelectors.h"

#include <gtest/gtest.h>

#include <array>

namespace tonewell {
namespace {

TEST(LogGrid, StartsAtTheFirstWholeMantissaAboveTheFirstBin) {
    // 44100 Hz over 1024 points: 43.07 Hz, so 50, 60 ... 90 Hz and then 100, 200, 300, 400 Hz.
    const LogGridPlan plan = LogGridFor(44100.0 / 1024);
    EXPECT_EQ(plan.exponent, 1);
    EXPECT_EQ(plan.bases, (std::array<int, 9>{5, 6, 7, 8, 9, 10, 20, 30, 40}));
    // 10 kHz over 1024: 9.77 Hz rounds up to 10, the tens of the next decade.
    EXPECT_EQ(LogGridFor(10000.0 / 1024).bases, (std::array<int, 9>{10, 20, 30, 40, 50, 60, 70, 80, 90}));
    EXPECT_EQ(LogGridFor(10000.0 / 1024).exponent, 0);
    // A first bin of exactly a power of ten starts on it.
    EXPECT_EQ(LogGridFor(100.0).bases, (std::array<int, 9>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(LogGridFor(100.0).exponent, 2);
    // 2000 Hz over 32768 points: 0.061 Hz.
    EXPECT_EQ(LogGridFor(2000.0 / 32768).exponent, -2);
    EXPECT_EQ(LogGridFor(2000.0 / 32768).bases[0], 7);
}

TEST(LogGrid, LabelsOneTwoAndFiveOfEachDecade) {
    for (int base : {1, 2, 5, 10, 20, 50}) EXPECT_TRUE(IsLabelledLogBase(base)) << base;
    for (int base : {3, 4, 6, 9, 30, 40}) EXPECT_FALSE(IsLabelledLogBase(base)) << base;
}

struct LogLabelCase {
    long long hundredths;
    const char* text;
};

class LogGridLabel : public ::testing::TestWithParam<LogLabelCase> {};

TEST_P(LogGridLabel, WritesTheFrequencyByItsNumberOfDigits) {
    EXPECT_EQ(FormatLogGridLabel(GetParam().hundredths), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Frequencies, LogGridLabel,
                         ::testing::Values(LogLabelCase{5, "0.05"}, LogLabelCase{50, "0.5"}, LogLabelCase{100, "1"},
                                           LogLabelCase{5000, "50"}, LogLabelCase{10000, "100"},
                                           LogLabelCase{100000, "1k"}, LogLabelCase{2000000, "20k"},
                                           LogLabelCase{50000000, "500k"}, LogLabelCase{100000000, "1M"},
                                           LogLabelCase{2000000000, "20M"}));

TEST(DbGrid, StepsShrinkWithTheMultiplierAndStartOneStepAboveTheTop) {
    EXPECT_EQ(DbGridStep(0), 10);
    EXPECT_EQ(DbGridStep(1), 10);
    EXPECT_EQ(DbGridStep(2), 5);
    EXPECT_EQ(DbGridStep(5), 2);
    EXPECT_EQ(DbGridStep(10), 1);
    // The first line is the first multiple of the step above the top edge.
    EXPECT_EQ(FirstDbGridLine(3.01, 10), 10);
    EXPECT_EQ(FirstDbGridLine(0.0, 10), 10);
    EXPECT_EQ(FirstDbGridLine(-30.97, 10), -30);
    EXPECT_EQ(FirstDbGridLine(-21.99, 5), -20);
    EXPECT_EQ(FormatDbLabel(0), "00");
    EXPECT_EQ(FormatDbLabel(5), "05");
    EXPECT_EQ(FormatDbLabel(-10), "-10");
    EXPECT_EQ(FormatDbLabel(-5), "-5");
}

TEST(ThousandthsLabel, WritesThreeDecimals) {
    EXPECT_EQ(FormatThousandthsLabel(1000), "1.000");
    EXPECT_EQ(FormatThousandthsLabel(500), "0.500");
    EXPECT_EQ(FormatThousandthsLabel(50), "0.050");
    EXPECT_EQ(FormatThousandthsLabel(5), "0.005");
    EXPECT_EQ(FormatThousandthsLabel(0), "0.000");
    EXPECT_EQ(FormatThousandthsLabel(-200), "-0.200");
}

TEST(SpectrumDefaultRows, FrequencyRangesCoverHalfTheRate) {
    RangeTables tables;
    const RangeTable& frequencies = tables[RangeTableId::SpectrumFrequencyRange];
    const auto name = [&](int row) { return std::string(*frequencies.name(row)); };
    EXPECT_EQ(name(DefaultFrequencyRangeRow(frequencies, 44100)), "50kH");
    EXPECT_EQ(name(DefaultFrequencyRangeRow(frequencies, 8000)), "5kH");
    // Half the rate equal to a range: that range holds it.
    EXPECT_EQ(name(DefaultFrequencyRangeRow(frequencies, 10000)), "5kH");
    EXPECT_EQ(name(DefaultFrequencyRangeRow(frequencies, 100)), "100H");
    // Beyond the largest range: the largest.
    EXPECT_EQ(name(DefaultFrequencyRangeRow(frequencies, 400000)), "100kH");

    const RangeTable& lags = tables[RangeTableId::SymmetricTimeRange];
    EXPECT_EQ(std::string(*lags.name(DefaultLagRangeRow(lags, 1024 / 44100.0))), "±20ms");
    EXPECT_EQ(std::string(*lags.name(DefaultLagRangeRow(lags, 0.02))), "±20ms");  // a span of 40 ms
    EXPECT_EQ(std::string(*lags.name(DefaultLagRangeRow(lags, 5000.0))), "±500s");

    const RangeTable& volts = tables[RangeTableId::SpectrumRangeA];
    EXPECT_EQ(std::string(*volts.name(DefaultAmplitudeRangeRow(volts, 1.0))), "1v");
    EXPECT_EQ(std::string(*volts.name(DefaultAmplitudeRangeRow(volts, 0.3))), "500mv");
    EXPECT_EQ(std::string(*volts.name(DefaultAmplitudeRangeRow(volts, 0.001))), "20mv");
    EXPECT_EQ(std::string(*volts.name(DefaultAmplitudeRangeRow(volts, 100.0))), "50v");
}

}  // namespace
}  // namespace tonewell

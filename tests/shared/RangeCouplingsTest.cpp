#include "shared/RangeCouplings.h"

#include <gtest/gtest.h>

#include <limits>

namespace tonewell {
namespace {

using Id = RangeTableId;

struct LengthCase {
    std::string_view timeRange;
    std::int32_t rate;
    std::int32_t length;
};

class RecordLengthFromTimeRange : public ::testing::TestWithParam<LengthCase> {};

TEST_P(RecordLengthFromTimeRange, FillsTheRange) {
    RangeTables tables;
    const RangeTable& time = tables[Id::ScopeTimeRange];
    auto row = time.rowNamed(GetParam().timeRange);
    ASSERT_TRUE(row);
    EXPECT_EQ(RecordLengthForTimeRange(*time.code(*row), GetParam().rate), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Rows, RecordLengthFromTimeRange,
                         ::testing::Values(LengthCase{"10ms", 44100, 441}, LengthCase{"10ms", 48000, 480},
                                           LengthCase{"100μs", 44100, 4}, LengthCase{"100μs", 2000, 1},
                                           LengthCase{"500μs", 96000, 48}, LengthCase{"1ms", 11025, 11},
                                           LengthCase{"500s", 96000, 48000000},
                                           LengthCase{"10ms", 0, 1}));

TEST(RecordLengthForTimeRange, SaturatesInsteadOfWrapping) {
    EXPECT_EQ(RecordLengthForTimeRange(RangeCode(0x6FFF), 96000), std::numeric_limits<std::int32_t>::max());
}

TEST(SpectrumFrequencyRowForRate, PicksTheSmallestRangeReachingHalfTheRate) {
    RangeTables tables;
    const RangeTable& frequency = tables[Id::SpectrumFrequencyRange];
    EXPECT_EQ(SpectrumFrequencyRowForRate(frequency, 44100), 1);   // "50kH": 2 x 20000 < 44100
    EXPECT_EQ(SpectrumFrequencyRowForRate(frequency, 96000), 1);
    EXPECT_EQ(SpectrumFrequencyRowForRate(frequency, 100000), 1);  // exactly twice 50 kHz
    EXPECT_EQ(SpectrumFrequencyRowForRate(frequency, 100001), 0);
    EXPECT_EQ(SpectrumFrequencyRowForRate(frequency, 2000), 6);    // "1kH"
    EXPECT_EQ(SpectrumFrequencyRowForRate(frequency, 11025), 3);   // "10kH"
    EXPECT_EQ(SpectrumFrequencyRowForRate(frequency, 150), 9);     // "100H"
    EXPECT_EQ(SpectrumFrequencyRowForRate(frequency, 200001), std::nullopt);
}

struct HoldCase {
    std::int32_t length;
    std::int32_t rate;
    std::optional<std::string_view> timeRange;
};

class TimeRangeForRecordLength : public ::testing::TestWithParam<HoldCase> {};

TEST_P(TimeRangeForRecordLength, IsTheShortestRangeHoldingTheRecord) {
    RangeTables tables;
    const RangeTable& time = tables[Id::ScopeTimeRange];
    auto row = TimeRangeRowForRecordLength(time, GetParam().length, GetParam().rate);
    if (!GetParam().timeRange) {
        EXPECT_EQ(row, std::nullopt);
        return;
    }
    ASSERT_TRUE(row);
    EXPECT_EQ(*time.name(*row), *GetParam().timeRange);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, TimeRangeForRecordLength,
    ::testing::Values(HoldCase{441, 44100, "10ms"}, HoldCase{442, 44100, "20ms"},
                      HoldCase{1000, 44100, "50ms"},      // 22.7 ms
                      HoldCase{4410, 44100, "100ms"},     // exactly 0.1 s, which single precision rounds up
                      HoldCase{480, 48000, "10ms"}, HoldCase{1, 44100, "100μs"}, HoldCase{0, 44100, "100μs"},
                      HoldCase{-5, 44100, "100μs"}, HoldCase{48000000, 96000, "500s"},
                      HoldCase{48000001, 96000, std::nullopt},   // longer than "500s"
                      HoldCase{441, 0, std::nullopt}));

TEST(RangeCouplings, TheTwoDirectionsAgreeOnEveryRowAndRate) {
    RangeTables tables;
    const RangeTable& time = tables[Id::ScopeTimeRange];
    const RangeTable& rates = tables[Id::SamplingFrequency];
    for (int rateRow = 0; rateRow < rates.count; ++rateRow) {
        std::int32_t rate = *rates.value(rateRow);
        for (int row = 0; row < time.count; ++row) {
            std::int32_t length = RecordLengthForTimeRange(*time.code(row), rate);
            auto back = TimeRangeRowForRecordLength(time, length, rate);
            ASSERT_TRUE(back);
            if (SamplesInSpan(*time.code(row), rate) > 0) {
                EXPECT_EQ(*back, row) << rate << " Hz, row " << row;
            } else {
                // A range shorter than one sample still records one, which a longer range holds.
                EXPECT_GE(SamplesInSpan(*time.code(*back), rate), 1) << rate << " Hz, row " << row;
                EXPECT_EQ(SamplesInSpan(*time.code(*back - 1), rate), 0) << rate << " Hz, row " << row;
            }
        }
    }
}

}  // namespace
}  // namespace tonewell

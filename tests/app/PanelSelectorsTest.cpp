#include <gtest/gtest.h>

#include <string>

#include "scope/ScopeBars.h"
#include "spectrum/SpectrumSelectors.h"

namespace tonewell {
namespace {

using Id = RangeTableId;

TEST(ScopeBars, FillSelectsTheStoredRows) {
    RangeTables tables;
    tables.setDefaultIndex(Id::ScopeRangeB, 3);
    ScopeBars bars;
    bars.rangeA.setItems({"stale"});
    bars.Fill(tables);
    EXPECT_EQ(bars.timeRange.text(), "10ms");
    EXPECT_EQ(bars.timeMultiplier.text(), "x1");
    EXPECT_EQ(bars.rangeA.count(), 12);
    EXPECT_EQ(bars.rangeA.text(), "±1v");
    EXPECT_EQ(bars.multiplierA.text(), "Off");
    EXPECT_EQ(bars.rangeB.text(), "±100mv");
    EXPECT_EQ(bars.type.text(), " & ");
}

struct YRangeCase {
    std::int32_t type;
    bool normalized;
    Id a;
    Id b;
};

class SpectrumYRange : public ::testing::TestWithParam<YRangeCase> {};

TEST_P(SpectrumYRange, FollowsTypeAndNormalisation) {
    EXPECT_EQ(SpectrumYRangeTable(0, GetParam().type, GetParam().normalized), GetParam().a);
    EXPECT_EQ(SpectrumYRangeTable(1, GetParam().type, GetParam().normalized), GetParam().b);
}

INSTANTIATE_TEST_SUITE_P(
    Types, SpectrumYRange,
    ::testing::Values(YRangeCase{kSpectrumAmplitude, false, Id::SpectrumRangeA, Id::SpectrumRangeB},
                      YRangeCase{kSpectrumAmplitude, true, Id::SpectrumSecondRangeA, Id::SpectrumSecondRangeB},
                      YRangeCase{kSpectrumPhase, true, Id::PhaseRangeA, Id::PhaseRangeB},
                      YRangeCase{kAutoCorrelation, false, Id::CorrelationRangeA, Id::CorrelationRangeB},
                      YRangeCase{kCrossCorrelation, true, Id::CorrelationRangeA, Id::CorrelationRangeB}));

TEST(SpectrumSelectors, AmplitudeSpectrumShowsFrequencyAndVoltRanges) {
    RangeTables tables;
    SpectrumSelectors selectors;
    selectors.Fill(tables, false);
    EXPECT_EQ(selectors.type.text(), "AMS");
    EXPECT_EQ(selectors.xRange.text(), "50kH");
    EXPECT_EQ(selectors.rangeA.text(), "1v");
    EXPECT_EQ(selectors.rangeB.text(), "Off");
    EXPECT_EQ(selectors.fftPoints.text(), "512");
    EXPECT_EQ(selectors.window.text(), "REC");
    EXPECT_EQ(selectors.xMultiplier.text(), "x1");
    selectors.Fill(tables, true);
    EXPECT_EQ(selectors.rangeA.text(), "1");
    EXPECT_EQ(selectors.yRangeTable(1), Id::SpectrumSecondRangeB);
}

TEST(SpectrumSelectors, CorrelationShowsTheStoredTimeLagAndCorrelationRanges) {
    RangeTables tables;
    tables.setDefaultIndex(Id::SpectrumType, 2);
    tables.setDefaultIndex(Id::CorrelationRangeA, 1);
    SpectrumSelectors selectors;
    selectors.Fill(tables, true);
    EXPECT_EQ(selectors.xRangeTable(), Id::SymmetricTimeRange);
    EXPECT_EQ(selectors.xRange.text(), "±10ms");
    EXPECT_EQ(selectors.rangeA.text(), "±1");
    EXPECT_EQ(selectors.rangeB.text(), "Off");
    EXPECT_EQ(selectors.selectedType(tables), kAutoCorrelation);
}

}  // namespace
}  // namespace tonewell

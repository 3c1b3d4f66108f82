#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "scope/ScopeBars.h"
#include "spectrum/SpectrumSelectors.h"
#include "spectrum/Window.h"

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

// The panel file stores list rows; each enumerator is the value of the row that names it.
TEST(SpectrumEnums, EachListRowIsItsEnumerator) {
    RangeTables tables;
    const std::pair<const char*, SpectrumType> types[] = {{"AMS", SpectrumType::Amplitude},
                                                          {"PHS", SpectrumType::Phase},
                                                          {"ACR", SpectrumType::AutoCorrelation},
                                                          {"CCR", SpectrumType::CrossCorrelation}};
    const RangeTable& typeList = tables[Id::SpectrumType];
    ASSERT_EQ(typeList.count, 4);
    for (int row = 0; row < typeList.count; ++row) {
        EXPECT_EQ(typeList.names[row], types[row].first);
        EXPECT_EQ(SpectrumTypeOf(*typeList.value(row)), types[row].second);
    }
    const std::pair<const char*, WindowType> windows[] = {{"REC", WindowType::Rectangular},
                                                          {"TRI", WindowType::Triangular},
                                                          {"HAN", WindowType::Hanning},
                                                          {"HAM", WindowType::Hamming},
                                                          {"BLA", WindowType::Blackman}};
    const RangeTable& windowList = tables[Id::WindowFunction];
    ASSERT_EQ(windowList.count, 5);
    for (int row = 0; row < windowList.count; ++row) {
        EXPECT_EQ(windowList.names[row], windows[row].first);
        EXPECT_EQ(WindowTypeOf(*windowList.value(row)), windows[row].second);
    }
    for (std::int32_t outside : {-1, 4, 65535}) EXPECT_FALSE(SpectrumTypeOf(outside)) << outside;
    for (std::int32_t outside : {-1, 5}) EXPECT_FALSE(WindowTypeOf(outside)) << outside;
}

struct YRangeCase {
    SpectrumType type;
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
    ::testing::Values(YRangeCase{SpectrumType::Amplitude, false, Id::SpectrumRangeA, Id::SpectrumRangeB},
                      YRangeCase{SpectrumType::Amplitude, true, Id::SpectrumSecondRangeA, Id::SpectrumSecondRangeB},
                      YRangeCase{SpectrumType::Phase, true, Id::PhaseRangeA, Id::PhaseRangeB},
                      YRangeCase{SpectrumType::AutoCorrelation, false, Id::CorrelationRangeA, Id::CorrelationRangeB},
                      YRangeCase{SpectrumType::CrossCorrelation, true, Id::CorrelationRangeA, Id::CorrelationRangeB}));

TEST(SpectrumSelectors, AmplitudeSpectrumShowsFrequencyAndVoltRanges) {
    RangeTables tables;
    SpectrumSelectors selectors;
    selectors.fill(tables, false);
    EXPECT_EQ(selectors.type.text(), "AMS");
    EXPECT_EQ(selectors.xRange.text(), "50kH");
    EXPECT_EQ(selectors.rangeA.text(), "1v");
    EXPECT_EQ(selectors.rangeB.text(), "Off");
    EXPECT_EQ(selectors.fftPoints.text(), "512");
    EXPECT_EQ(selectors.window.text(), "REC");
    EXPECT_EQ(selectors.xMultiplier.text(), "x1");
    selectors.fill(tables, true);
    EXPECT_EQ(selectors.rangeA.text(), "1");
    EXPECT_EQ(selectors.yRangeTable(1), Id::SpectrumSecondRangeB);
}

TEST(SpectrumSelectors, CorrelationShowsTheStoredTimeLagAndCorrelationRanges) {
    RangeTables tables;
    tables.setDefaultIndex(Id::SpectrumType, 2);
    tables.setDefaultIndex(Id::CorrelationRangeA, 1);
    SpectrumSelectors selectors;
    selectors.fill(tables, true);
    EXPECT_EQ(selectors.xRangeTable(), Id::SymmetricTimeRange);
    EXPECT_EQ(selectors.xRange.text(), "±10ms");
    EXPECT_EQ(selectors.rangeA.text(), "±1");
    EXPECT_EQ(selectors.rangeB.text(), "Off");
    EXPECT_EQ(selectors.selectedType(tables), SpectrumType::AutoCorrelation);
}

}  // namespace
}  // namespace tonewell

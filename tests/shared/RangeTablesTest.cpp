#include "shared/RangeTables.h"

#include <gtest/gtest.h>

#include <string>

namespace tonewell {
namespace {

struct ListShape {
    RangeTableId id;
    int count;
    std::int32_t builtInDefault;
    std::string_view firstName;
    std::int32_t firstValue;
    std::string_view lastName;
    std::int32_t lastValue;
};

void PrintTo(const ListShape& shape, std::ostream* out) { *out << "list " << static_cast<int>(shape.id); }

class RangeTableShape : public ::testing::TestWithParam<ListShape> {};

TEST_P(RangeTableShape, HasItsRowsAndDefault) {
    const ListShape& shape = GetParam();
    RangeTables tables;
    const RangeTable& table = tables[shape.id];
    EXPECT_EQ(table.count, shape.count);
    ASSERT_EQ(table.names.size(), static_cast<std::size_t>(shape.count));
    ASSERT_EQ(table.values.size(), static_cast<std::size_t>(shape.count));
    EXPECT_EQ(table.defaultIndex, shape.builtInDefault);
    EXPECT_EQ(RangeTables::BuiltInDefault(shape.id), shape.builtInDefault);
    EXPECT_EQ(table.name(0), shape.firstName);
    EXPECT_EQ(table.value(0), shape.firstValue);
    EXPECT_EQ(table.name(shape.count - 1), shape.lastName);
    EXPECT_EQ(table.value(shape.count - 1), shape.lastValue);
    EXPECT_EQ(tables.at(static_cast<int>(shape.id)), &table);
}

using Id = RangeTableId;
INSTANTIATE_TEST_SUITE_P(
    EveryList, RangeTableShape,
    ::testing::Values(
        ListShape{Id::ScopeTimeRange, 21, 6, "100μs", 0x2064, "500s", 0x41F4},
        ListShape{Id::SymmetricTimeRange, 21, 6, "±100μs", 0xA064, "±500s", 0xC1F4},
        ListShape{Id::ScopeTimeMultiplier, 10, 0, "x1", 1, "x1000", 1000},
        ListShape{Id::ScopeRangeA, 12, 6, "Off", 0, "±50v", 0xC032},
        ListShape{Id::ScopeMultiplierA, 5, 0, "Off", 0, "x10", 10},
        ListShape{Id::ScopeType, 4, 0, " & ", 0, " | ", 3},
        ListShape{Id::ScopeRangeB, 12, 0, "Off", 0, "±50v", 0xC032},
        ListShape{Id::ScopeMultiplierB, 5, 0, "Off", 0, "x10", 10},
        ListShape{Id::SpectrumFrequencyRange, 10, 1, "100kH", 0x5064, "100H", 0x4064},
        ListShape{Id::SpectrumFrequencyMultiplier, 10, 0, "x1", 1, "x1000", 1000},
        ListShape{Id::SpectrumRangeA, 12, 6, "Off", 0, "50v", 0x4032},
        ListShape{Id::SpectrumSecondRangeA, 2, 1, "Off", 0, "1", 0x4001},
        ListShape{Id::SpectrumMultiplierA, 5, 0, "Off", 0, "x10", 10},
        ListShape{Id::SpectrumRangeB, 12, 0, "Off", 0, "50v", 0x4032},
        ListShape{Id::SpectrumSecondRangeB, 2, 0, "Off", 0, "1", 0x4001},
        ListShape{Id::SpectrumMultiplierB, 5, 0, "Off", 0, "x10", 10},
        ListShape{Id::FftPoints, 9, 2, "128", 128, "32768", 32768},
        ListShape{Id::WindowFunction, 5, 0, "REC", 0, "BLA", 4},
        ListShape{Id::PhaseRangeA, 2, 0, "Off", 0, "±180", 0xC0B4},
        ListShape{Id::PhaseRangeB, 2, 0, "Off", 0, "±180", 0xC0B4},
        ListShape{Id::CorrelationRangeA, 2, 0, "Off", 0, "±1", 0xC001},
        ListShape{Id::CorrelationRangeB, 2, 0, "Off", 0, "±1", 0xC001},
        ListShape{Id::SpectrumType, 4, 0, "AMS", 0, "CCR", 3},
        ListShape{Id::TriggerMode, 3, 1, "None", 0, "Single", 2},
        ListShape{Id::TriggerSource, 2, 0, "A", 0, "B", 1},
        ListShape{Id::TriggerEdge, 2, 0, "Up", 0, "Dn", 1},
        ListShape{Id::TriggerLevel, 23, 0, "100%", 100, "-100%", -100},
        ListShape{Id::TriggerLevelSecond, 23, 0, "100%", 100, "-100%", -100},
        ListShape{Id::RecordLength, 8, 441, "50", 50, "10000", 10000},
        ListShape{Id::SamplingFrequency, 8, 5, "2000H", 2000, "96000H", 96000},
        ListShape{Id::SamplingChannels, 2, 0, "A", 0, "A&B", 1},
        ListShape{Id::SamplingResolution, 2, 1, "8B", 8, "16B", 16},
        ListShape{Id::GeneratorResolution, 2, 1, "8 Bit", 8, "16 Bit", 16},
        ListShape{Id::GeneratorSamplingFrequency, 5, 2, "11025 Hz", 11025, "96000 Hz", 96000},
        ListShape{Id::GeneratorChannels, 2, 0, "A", 0, "A&B", 1},
        ListShape{Id::GeneratorWaveformA, 9, 1, "None", 0, "WFLibrary", 8},
        ListShape{Id::GeneratorWaveformB, 9, 0, "None", 0, "WFLibrary", 8},
        ListShape{Id::GeneratorFrequencyA, 11, 1000, "40000", 40000, "50", 50},
        ListShape{Id::GeneratorFrequencyB, 11, 1000, "40000", 40000, "50", 50},
        ListShape{Id::GeneratorAmplitudeA, 5, 1000, "1000", 1000, "50", 50},
        ListShape{Id::GeneratorAmplitudeB, 5, 1000, "1000", 1000, "50", 50},
        ListShape{Id::GeneratorPhase, 9, 0, "-180", -180, "180", 180}));

TEST(RangeTables, StringsAreUtf8WithThePlusMinusSignAndMu) {
    RangeTables tables;
    // "±" is U+00B1 and "μ" the Greek letter U+03BC.
    EXPECT_EQ(*tables[Id::ScopeTimeRange].name(0), "100\xCE\xBCs");
    EXPECT_EQ(*tables[Id::SymmetricTimeRange].name(0), "\xC2\xB1" "100\xCE\xBCs");
    EXPECT_EQ(*tables[Id::ScopeRangeA].name(1), "\xC2\xB1" "20mv");
}

TEST(RangeTables, SymmetricTimeRangeIsTheTimeRangeWithBit15AndThePlusMinusSign) {
    RangeTables tables;
    const RangeTable& plain = tables[Id::ScopeTimeRange];
    const RangeTable& symmetric = tables[Id::SymmetricTimeRange];
    for (int row = 0; row < plain.count; ++row) {
        EXPECT_EQ(*symmetric.value(row), *plain.value(row) | 0x8000) << row;
        EXPECT_EQ(std::string(*symmetric.name(row)), "±" + std::string(*plain.name(row))) << row;
    }
}

TEST(RangeTables, TimeRangesAscendAndFrequencyRangesDescend) {
    RangeTables tables;
    const RangeTable& time = tables[Id::ScopeTimeRange];
    for (int row = 1; row < time.count; ++row) EXPECT_LT(time.code(row - 1)->value(), time.code(row)->value());
    const RangeTable& frequency = tables[Id::SpectrumFrequencyRange];
    for (int row = 1; row < frequency.count; ++row)
        EXPECT_GT(frequency.code(row - 1)->value(), frequency.code(row)->value());
}

TEST(RangeTables, ARowOutsideTheListSelectsNothing) {
    RangeTables tables;
    const RangeTable& modes = tables[Id::TriggerMode];
    EXPECT_EQ(modes.value(-1), std::nullopt);
    EXPECT_EQ(modes.value(3), std::nullopt);
    EXPECT_EQ(modes.name(3), std::nullopt);
    EXPECT_EQ(modes.code(-5), std::nullopt);
    EXPECT_EQ(modes.value(2), 2);
    EXPECT_EQ(tables[Id::ScopeTimeRange].code(6), RangeCode(0x300A));
}

TEST(RangeTables, SetRangeDefaultsUndoesALoadedPanel) {
    RangeTables tables;
    tables.setDefaultIndex(Id::ScopeTimeRange, 12);
    tables.setDefaultIndex(Id::RecordLength, 9000);
    tables.setDefaultIndex(Id::GeneratorPhase, -90);
    EXPECT_EQ(tables[Id::ScopeTimeRange].defaultIndex, 12);
    tables.SetRangeDefaults();
    EXPECT_EQ(tables[Id::ScopeTimeRange].defaultIndex, 6);
    EXPECT_EQ(tables[Id::RecordLength].defaultIndex, 441);
    EXPECT_EQ(tables[Id::GeneratorPhase].defaultIndex, 0);
}

}  // namespace
}  // namespace tonewell

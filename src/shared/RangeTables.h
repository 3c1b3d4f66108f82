#pragma once
// The 42 selector lists behind every toolbar list and the generator's preset lists: row strings
// (UTF-8, shown as they stand) with their values, and each list's default. The rows are constant
// text; the defaults are replaced by a loaded panel setting. One RangeTables object is owned by
// the composition root and read on the UI thread.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "shared/RangeCode.h"

namespace tonewell {

// The lists, in the order of the program-wide array.
enum class RangeTableId : int {
    ScopeTimeRange = 0,
    SymmetricTimeRange,
    ScopeTimeMultiplier,
    ScopeRangeA,
    ScopeMultiplierA,
    ScopeType,
    ScopeRangeB,
    ScopeMultiplierB,
    SpectrumFrequencyRange,
    SpectrumFrequencyMultiplier,
    SpectrumRangeA,
    SpectrumSecondRangeA,
    SpectrumMultiplierA,
    SpectrumRangeB,
    SpectrumSecondRangeB,
    SpectrumMultiplierB,
    FftPoints,
    WindowFunction,
    PhaseRangeA,
    PhaseRangeB,
    CorrelationRangeA,
    CorrelationRangeB,
    SpectrumType,
    TriggerMode,
    TriggerSource,
    TriggerEdge,
    TriggerLevel,
    TriggerLevelSecond,
    RecordLength,
    SamplingFrequency,
    SamplingChannels,
    SamplingResolution,
    GeneratorResolution,
    GeneratorSamplingFrequency,
    GeneratorChannels,
    GeneratorWaveformA,
    GeneratorWaveformB,
    GeneratorFrequencyA,
    GeneratorFrequencyB,
    GeneratorAmplitudeA,
    GeneratorAmplitudeB,
    GeneratorPhase,
};

inline constexpr int kRangeTableCount = 42;

struct RangeTable {
    std::int32_t count = 0;
    // The row selected when the selector is filled; for an editable list the value itself.
    std::int32_t defaultIndex = 0;
    // Editable numeric list (record length, generator frequency, amplitude and phase presets).
    bool editable = false;
    // Values are RangeCodes (time, voltage, frequency, phase and correlation ranges).
    bool holdsRangeCodes = false;
    std::span<const std::string_view> names;
    std::span<const std::int32_t> values;

    bool contains(int row) const { return row >= 0 && row < count; }
    // Nothing for a row outside 0..count-1.
    std::optional<std::int32_t> value(int row) const;
    std::optional<std::string_view> name(int row) const;
    std::optional<RangeCode> code(int row) const;
    // The first row with this value, if any.
    std::optional<int> rowOf(std::int32_t value) const;
    // The first row with this string, if any.
    std::optional<int> rowNamed(std::string_view name) const;
};

class RangeTables {
public:
    // Fills every list and sets the built-in defaults.
    RangeTables();

    // Every list's default back to its built-in value.
    void SetRangeDefaults();

    const RangeTable& operator[](RangeTableId id) const { return tables_[static_cast<int>(id)]; }
    // The list at a position of the program-wide array; nullptr outside 0..41.
    const RangeTable* at(int index) const;

    // A loaded panel setting replaces the default row (or value, for an editable list).
    void setDefaultIndex(RangeTableId id, std::int32_t defaultIndex);

    // The built-in default of a list: a row, or for an editable list the value.
    static std::int32_t BuiltInDefault(RangeTableId id);

    // The list that fills the toolbar selector with this command id (65010..65042), if any.
    static std::optional<RangeTableId> ForCommand(int commandId);

private:
    std::array<RangeTable, kRangeTableCount> tables_;
};

}  // namespace tonewell

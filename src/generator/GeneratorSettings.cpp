#include "generator/GeneratorSettings.h"

#include "generator/GeneratorTables.h"

namespace tonewell {

namespace {
constexpr std::int32_t kDefaultRateRow = 2;
constexpr std::int32_t kDefaultResolutionRow = 1;

std::int32_t RowValue(std::span<const GeneratorTableRow> table, std::int32_t row, std::int32_t fallbackRow) {
    if (row < 0 || static_cast<std::size_t>(row) >= table.size()) row = fallbackRow;
    return table[static_cast<std::size_t>(row)].value;
}
}  // namespace

void SetGeneratorDefaults(GeneratorSettings& settings) { settings = GeneratorSettings{}; }

std::uint32_t SamplingFrequency(const GeneratorSettings& settings) {
    return static_cast<std::uint32_t>(RowValue(RateTable(), settings.sampleRateIndex, kDefaultRateRow));
}

std::uint32_t BitsPerSample(const GeneratorSettings& settings) {
    return static_cast<std::uint32_t>(
        RowValue(ResolutionTable(), settings.resolutionIndex, kDefaultResolutionRow));
}

std::uint32_t OutputChannels(const GeneratorSettings& settings) { return settings.channelsIndex == 1 ? 2u : 1u; }

std::int32_t WaveformCode(const GeneratorSettings& settings, int channel) {
    std::int32_t index = channel == 0 ? settings.waveformIndexA : settings.waveformIndexB;
    auto table = WaveformTable();
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return kWaveformNone;
    return table[static_cast<std::size_t>(index)].value;
}

SweepLaw ChannelSweep(const GeneratorSettings& settings, int channel) {
    if (channel == 0) return {settings.sweepStartA, settings.sweepEndA, settings.sweepLinearA, settings.sweepDuration};
    return {settings.sweepStartB, settings.sweepEndB, settings.sweepLinearB, settings.sweepDuration};
}

std::uint32_t MaximumOutputFrequency(const GeneratorSettings& settings) { return SamplingFrequency(settings) / 2; }

}  // namespace tonewell

#include "generator/GeneratorTables.h"

#include <array>

namespace tonewell {

namespace {

constexpr std::array<GeneratorTableRow, 9> kWaveforms = {{
    {"None", kWaveformNone},
    {"Sine", kWaveformSine},
    {"Square", kWaveformSquare},
    {"Triangle", kWaveformTriangle},
    {"SawTooth", kWaveformSawTooth},
    {"WhiteNoise", kWaveformWhiteNoise},
    {"PinkNoise", kWaveformPinkNoise},
    {"MultiTones", kWaveformMultiTones},
    {"WFLibrary", kWaveformLibrary},
}};

constexpr std::array<GeneratorTableRow, 5> kRates = {{
    {"11025 Hz", 11025},
    {"22050 Hz", 22050},
    {"44100 Hz", 44100},
    {"48000 Hz", 48000},
    {"96000 Hz", 96000},
}};

constexpr std::array<GeneratorTableRow, 2> kResolutions = {{{"8 Bit", 8}, {"16 Bit", 16}}};

constexpr std::array<GeneratorTableRow, 2> kChannels = {{{"A", 0}, {"A&B", 1}}};

constexpr std::array<GeneratorTableRow, 11> kFrequencies = {{
    {"40000", 40000},
    {"30000", 30000},
    {"20000", 20000},
    {"10000", 10000},
    {"5000", 5000},
    {"2000", 2000},
    {"1000", 1000},
    {"500", 500},
    {"200", 200},
    {"100", 100},
    {"50", 50},
}};

constexpr std::array<GeneratorTableRow, 5> kAmplitudes = {{
    {"1000", 1000},
    {"500", 500},
    {"200", 200},
    {"100", 100},
    {"50", 50},
}};

constexpr std::array<GeneratorTableRow, 9> kPhases = {{
    {"-180", -180},
    {"-135", -135},
    {"-90", -90},
    {"-45", -45},
    {"0", 0},
    {"45", 45},
    {"90", 90},
    {"135", 135},
    {"180", 180},
}};

}  // namespace

std::span<const GeneratorTableRow> WaveformTable() { return kWaveforms; }
std::span<const GeneratorTableRow> RateTable() { return kRates; }
std::span<const GeneratorTableRow> ResolutionTable() { return kResolutions; }
std::span<const GeneratorTableRow> ChannelsTable() { return kChannels; }
std::span<const GeneratorTableRow> FrequencyPresets() { return kFrequencies; }
std::span<const GeneratorTableRow> AmplitudePresets() { return kAmplitudes; }
std::span<const GeneratorTableRow> PhasePresets() { return kPhases; }

std::string_view WaveformName(std::int32_t code) {
    for (const auto& row : kWaveforms) {
        if (row.value == code) return row.name;
    }
    return {};
}

std::int32_t WaveformCodeForName(std::string_view name) {
    for (const auto& row : kWaveforms) {
        if (row.name == name) return row.value;
    }
    return -1;
}

}  // namespace tonewell

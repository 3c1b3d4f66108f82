#pragma once
// The generator's vocabulary lists (waveforms, rates, resolutions, channels and the presets of
// the frequency, amplitude and phase boxes): display names with parallel values. Constant data,
// safe to read from any thread.

#include <cstdint>
#include <span>
#include <string_view>

namespace tonewell {

// Waveform codes: the waveform table's values, used in the settings, the tone lists and files.
inline constexpr std::int32_t kWaveformNone = 0;
inline constexpr std::int32_t kWaveformSine = 1;
inline constexpr std::int32_t kWaveformSquare = 2;
inline constexpr std::int32_t kWaveformTriangle = 3;
inline constexpr std::int32_t kWaveformSawTooth = 4;
inline constexpr std::int32_t kWaveformWhiteNoise = 5;
inline constexpr std::int32_t kWaveformPinkNoise = 6;
inline constexpr std::int32_t kWaveformMultiTones = 7;
inline constexpr std::int32_t kWaveformLibrary = 8;

struct GeneratorTableRow {
    std::string_view name;
    std::int32_t value;
};

// "None" .. "WFLibrary"; the table is the identity, so a row index is its waveform code.
std::span<const GeneratorTableRow> WaveformTable();
// "11025 Hz" .. "96000 Hz".
std::span<const GeneratorTableRow> RateTable();
// "8 Bit", "16 Bit".
std::span<const GeneratorTableRow> ResolutionTable();
// "A" = 0 (mono output), "A&B" = 1 (stereo output).
std::span<const GeneratorTableRow> ChannelsTable();
// Frequency presets in Hz, 40000 down to 50 (the same list serves A and B).
std::span<const GeneratorTableRow> FrequencyPresets();
// Amplitude presets in mV, 1000 down to 50.
std::span<const GeneratorTableRow> AmplitudePresets();
// Phase presets in degrees, -180 to 180 in steps of 45.
std::span<const GeneratorTableRow> PhasePresets();

// The waveform table's name for a code, empty for a code outside the table.
std::string_view WaveformName(std::int32_t code);

// The waveform code whose name equals name exactly, or -1.
std::int32_t WaveformCodeForName(std::string_view name);

}  // namespace tonewell

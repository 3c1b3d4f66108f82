#pragma once
// The generator's program-wide record: waveform, frequency, amplitude and sweep per channel, the
// output format rows and the scope display switch. Owned by the composition root; edited on the
// UI thread (dialog, panel files) and only read by synthesis while the output runs.

#include <cstdint>

namespace tonewell {

struct GeneratorSettings {
    std::int32_t waveformIndexA = 1;   // waveform table row of A (Sine)
    std::int32_t waveformIndexB = 0;   // waveform table row of B (None)
    std::uint32_t frequencyA = 1000;   // Hz
    std::uint32_t frequencyB = 1000;   // Hz
    std::uint32_t amplitudeA = 1000;   // peak, mV
    std::uint32_t amplitudeB = 1000;   // peak, mV
    std::int32_t phaseDifference = 0;  // degrees B leads A, -180..180
    bool sweepEnabled = false;
    std::uint32_t sweepStartA = 100;   // Hz
    std::uint32_t sweepStartB = 100;   // Hz
    std::uint32_t sweepEndA = 1000;    // Hz
    std::uint32_t sweepEndB = 1000;    // Hz
    std::uint32_t sweepDuration = 1;   // whole seconds, shared by A and B
    bool sweepLinearA = true;          // false: logarithmic sweep
    bool sweepLinearB = true;
    std::int32_t sampleRateIndex = 2;  // rate table row (44100 Hz)
    std::int32_t channelsIndex = 0;    // 0: A only (mono), 1: A and B (stereo)
    std::int32_t resolutionIndex = 1;  // resolution table row (16 bit)
    bool displayInScope = false;       // copy each played second into the document
};

// Sets every field to its default (a fresh start without a panel setting file).
void SetGeneratorDefaults(GeneratorSettings& settings);

// Derived values. A row index outside its table (only possible from a damaged panel file) reads
// as the table's default row, so a bad file can never select a format that does not exist.
std::uint32_t SamplingFrequency(const GeneratorSettings& settings);  // Hz
std::uint32_t BitsPerSample(const GeneratorSettings& settings);      // 8 or 16
std::uint32_t OutputChannels(const GeneratorSettings& settings);     // 1 or 2
// Waveform code of a channel (0 = A, 1 = B); an index outside the table reads as None.
std::int32_t WaveformCode(const GeneratorSettings& settings, int channel);

// A channel's sweep: A uses the A fields, B the B fields, both the shared duration.
struct SweepLaw {
    std::uint32_t start;  // Hz
    std::uint32_t end;    // Hz
    bool linear;
    std::uint32_t duration;  // seconds
};
SweepLaw ChannelSweep(const GeneratorSettings& settings, int channel);

// Upper limit of an output frequency: half the sampling frequency, rounded down (5512 at 11025).
std::uint32_t MaximumOutputFrequency(const GeneratorSettings& settings);

}  // namespace tonewell

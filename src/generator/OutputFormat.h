#pragma once
// The PCM format of the generated signal (what the sound output is opened with and what the
// export writes), derived from the generator settings at every start.

#include "generator/GeneratorSettings.h"

#include <cstdint>

namespace tonewell {

struct OutputFormat {
    std::uint16_t channels = 1;                 // 1 = A, 2 = A and B
    std::uint32_t samplesPerSecond = 44100;     // Hz
    std::uint32_t averageBytesPerSecond = 88200;
    std::uint16_t blockAlign = 2;               // bytes per frame
    std::uint16_t bitsPerSample = 16;           // 8 or 16

    std::uint32_t bytesPerSample() const { return bitsPerSample <= 8 ? 1u : 2u; }
};

OutputFormat OutputFormatFor(const GeneratorSettings& settings);

}  // namespace tonewell

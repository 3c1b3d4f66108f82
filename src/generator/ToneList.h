#pragma once
// One channel's multitone set: up to 32 tones, each a waveform code (1..6), a frequency in Hz
// (0 for noise) and a relative amplitude (0..1). Program-wide, one per channel; edited on the UI
// thread, read by synthesis.

#include <array>
#include <cstdint>

namespace tonewell {

inline constexpr std::uint32_t kMaxTones = 32;

struct ToneList {
    std::uint32_t count = 0;
    std::array<std::int32_t, kMaxTones> waveform{};
    std::array<std::uint32_t, kMaxTones> frequency{};  // Hz
    std::array<float, kMaxTones> amplitude{};          // relative, 0..1

    void clear() { count = 0; }
    // Appends a tone; false (and nothing changes) when the list already holds 32.
    bool append(std::int32_t code, std::uint32_t hz, float relativeAmplitude) {
        if (count >= kMaxTones) return false;
        waveform[count] = code;
        frequency[count] = hz;
        amplitude[count] = relativeAmplitude;
        ++count;
        return true;
    }
};

// The pair of tone lists: [0] channel A, [1] channel B.
using ToneLists = std::array<ToneList, 2>;

}  // namespace tonewell

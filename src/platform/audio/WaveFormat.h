#pragma once
// The PCM wave format record a device is opened with. Plain value; any thread.

#include <cstdint>

namespace tonewell {

inline constexpr std::uint16_t kWaveFormatPcm = 1;

struct WaveFormat {
    std::uint16_t formatTag = kWaveFormatPcm;
    std::uint16_t channels = 1;
    std::uint32_t samplesPerSecond = 44100;
    std::uint32_t averageBytesPerSecond = 44100;  // block align x samples per second
    std::uint16_t blockAlign = 1;                 // bytes of one frame
    std::uint16_t bitsPerSample = 8;
    std::uint16_t extraSize = 0;

    friend bool operator==(const WaveFormat&, const WaveFormat&) = default;
};

// Bytes of one sample in a frame: 1 up to 8 bits, 2 above.
inline constexpr std::uint16_t BytesPerSample(std::uint16_t bitsPerSample) { return bitsPerSample <= 8 ? 1 : 2; }

// A consistent PCM record: block align = channels x (1 up to 8 bits, 2 for 9..16 bits).
WaveFormat MakePcmFormat(std::uint16_t channels, std::uint32_t samplesPerSecond,
                         std::uint16_t bitsPerSample);

// True for what every backend plays and records: PCM, 1 or 2 channels, 8 or 16 bits, a rate of
// 1..384000 Hz, and block align, bytes per second and extra size that agree with them.
bool IsPlayablePcm(const WaveFormat& format);

}  // namespace tonewell

#pragma once
// One period of an arbitrary waveform per channel, played by WFLibrary at the channel's output
// frequency. Program-wide; loaded on the UI thread while the output is stopped, read by synthesis.
// The point arrays start with room for 1024 points and are only ever replaced by larger ones.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tonewell {

inline constexpr std::size_t kInitialLibraryPoints = 1024;

struct WaveformLibrary {
    std::uint32_t pointCount = 0;  // points per channel; 0 = no library loaded
    std::vector<float> pointsA = std::vector<float>(kInitialLibraryPoints);  // arbitrary units
    std::vector<float> pointsB = std::vector<float>(kInitialLibraryPoints);

    bool loaded() const { return pointCount > 0; }
    std::size_t capacity() const { return pointsA.size() < pointsB.size() ? pointsA.size() : pointsB.size(); }
};

}  // namespace tonewell

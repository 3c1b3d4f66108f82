#pragma once
// One of the spectrum view's two measurement cursors. It is kept as the X and Y values under the
// tap (Hz or seconds; volts, degrees or a coefficient; a fraction of the peak on a normalised
// axis; on a dB axis the amplitude 10^(D/20)/sqrt(2)), so it stays on them when scales change;
// its pixel position is recomputed at every draw.

#include <cstdint>

namespace tonewell {

enum class SpectrumCursorOwner : std::int32_t { None = 0, A = 1, B = 2 };

struct SpectrumCursor {
    std::int32_t x = 0;  // device position of the last draw
    std::int32_t y = 0;
    SpectrumCursorOwner owner = SpectrumCursorOwner::None;
    float xValue = 0.0f;
    float yValue = 0.0f;

    bool set() const { return owner != SpectrumCursorOwner::None; }
    void clear() { *this = SpectrumCursor{}; }
};

}  // namespace tonewell

#pragma once
// One of the oscilloscope's two measurement cursors. It is kept as an instant and a voltage, so
// it stays on them through scrolling, zooming and new records; its pixel position is recomputed
// at every draw.

#include <cstdint>

namespace tonewell {

enum class CursorChannel : std::int32_t { None = 0, A = 1, B = 2 };

struct ScopeCursor {
    std::int32_t x = 0;  // device position of the last draw
    std::int32_t y = 0;
    CursorChannel channel = CursorChannel::None;
    float time = 0.0f;   // seconds (Lissajous: channel-A volts, the horizontal value)
    float value = 0.0f;  // volts of the cursor's channel (Lissajous: channel-B volts)

    bool set() const { return channel != CursorChannel::None; }
    void clear() { *this = ScopeCursor{}; }
};

}  // namespace tonewell

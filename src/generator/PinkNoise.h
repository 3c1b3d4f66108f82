#pragma once
// Pink noise from 30 rows of white noise updated at octave-spaced rates (each step renews the row
// given by the trailing zero bits of a running index). The random source is a 32-bit
// congruential seed of its own. One instance per use; not shared between threads.

#include <array>
#include <cstdint>

namespace tonewell {

class PinkNoise {
public:
    static constexpr int kRows = 30;

    // Initialises the rows for the given seed (the time in seconds when a buffer is synthesised).
    explicit PinkNoise(std::uint32_t seed);

    // The next value, roughly within -1..+1.
    float next();

    std::uint32_t seed() const { return seed_; }

private:
    std::int32_t draw();

    std::array<std::int32_t, kRows> rows_{};
    std::int32_t runningSum_;
    std::int32_t offset_;
    std::int32_t index_ = 0;
    std::int32_t indexMask_;
    float scale_;
    std::uint32_t seed_;
};

}  // namespace tonewell

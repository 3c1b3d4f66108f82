#include "generator/PinkNoise.h"

#include <bit>

namespace tonewell {

namespace {
constexpr std::int32_t kRandomMask = 16777215;  // 24 random bits per row
constexpr std::int32_t kRowStart = 8388607;     // mid value of a row
}  // namespace

PinkNoise::PinkNoise(std::uint32_t seed)
    : runningSum_(kRows * kRowStart),
      offset_(((kRows + 1) * kRandomMask) / 2),
      indexMask_((1 << kRows) - 1),
      scale_(1.0f / static_cast<float>(offset_)),
      seed_(seed) {
    rows_.fill(kRowStart);
}

std::int32_t PinkNoise::draw() {
    seed_ = seed_ * 196314165u + 907633515u;
    return static_cast<std::int32_t>(seed_ & static_cast<std::uint32_t>(kRandomMask));
}

float PinkNoise::next() {
    index_ = (index_ + 1) & indexMask_;
    if (index_ != 0) {
        int row = std::countr_zero(static_cast<std::uint32_t>(index_));
        runningSum_ -= rows_[static_cast<std::size_t>(row)];
        std::int32_t value = draw();
        rows_[static_cast<std::size_t>(row)] = value;
        runningSum_ += value;
    }
    std::int32_t white = draw();
    return static_cast<float>(white - offset_ + runningSum_) * scale_;
}

}  // namespace tonewell

#pragma once
// The trigger level and delay percentages of the trigger bar turned into the values capture
// uses. Pure functions.

#include <cstdint>

namespace tonewell {

inline constexpr int kTriggerPercentLimit = 100;

// Level in percent of half the full scale (clamped to -100..100) as an offset-binary threshold:
// 8 bit: L x 1.27 + 128, 16 bit: L x 327.67 + 32768, in single precision, truncated to 16 bits.
// 100% gives 255 / 65535, -100% gives 1 / 0 (the 16-bit sum is 0.998). Any bits other than 8
// count as 16.
std::uint16_t TriggerLevelCode(int levelPercent, int bits);

// Delay in percent of the record length (clamped to -100..100) in samples: D x N x 0.01,
// truncated toward zero.
std::int32_t TriggerDelaySamples(int delayPercent, std::int32_t recordLength);

}  // namespace tonewell

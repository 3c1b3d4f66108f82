#include "acquisition/TriggerConversions.h"

#include <algorithm>

namespace tonewell {

std::uint16_t TriggerLevelCode(int levelPercent, int bits) {
    float level = static_cast<float>(std::clamp(levelPercent, -kTriggerPercentLimit, kTriggerPercentLimit));
    float code = bits == 8 ? level * 1.27f + 128.0f : level * 327.67f + 32768.0f;
    // Never below 0 or above 65535 within the clamped range, so the conversion is defined.
    return static_cast<std::uint16_t>(code);
}

std::int32_t TriggerDelaySamples(int delayPercent, std::int32_t recordLength) {
    std::int64_t delay = std::clamp(delayPercent, -kTriggerPercentLimit, kTriggerPercentLimit);
    // Whole-number arithmetic truncates exactly where D x N x 0.01 would.
    return static_cast<std::int32_t>(delay * recordLength / 100);
}

}  // namespace tonewell

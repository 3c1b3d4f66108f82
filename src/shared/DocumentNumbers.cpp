#include "shared/DocumentNumbers.h"

#include <algorithm>
#include <cmath>

namespace tonewell {

IntervalNumber NormaliseInterval(std::uint32_t samplesPerSecond) {
    if (samplesPerSecond == 0) return {0, 12};
    float v = static_cast<float>(1.0 / static_cast<double>(samplesPerSecond));
    int exponent = 12;
    while (v <= 6553.5) {
        v = v * 10.0f;
        --exponent;
    }
    while (v > 65535.0) {
        v = static_cast<float>(v * 0.1);
        ++exponent;
    }
    return {static_cast<std::uint16_t>(v), static_cast<std::uint8_t>(exponent)};
}

double IntervalSeconds(std::uint16_t mantissa, std::uint8_t exponent) {
    return static_cast<double>(mantissa) * std::pow(10.0, static_cast<int>(exponent) - 12);
}

VoltageRange NormaliseVoltageRange(int bits, float inputFullScale8, float inputFullScale16) {
    if (bits != 8 && bits != 16) return {};
    float v = bits == 8 ? inputFullScale8 : inputFullScale16;
    // A calibration that is no positive finite number has no range; keep +-1 V.
    if (!std::isfinite(v) || !(v > 0.0f)) return {};
    int exponent = 9;
    // The exponent byte cannot go below 0 (1e-12 V steps): a smaller calibration takes the
    // smallest range the record can hold instead of wrapping to an absurd one.
    while (v < 3276.7 && exponent > 0) {
        v = v * 10.0f;
        --exponent;
    }
    if (v < 1.0f) v = 1.0f;
    while (v > 3276.7) {
        v = static_cast<float>(v * 0.1);
        ++exponent;
    }
    return {static_cast<std::int32_t>(v), static_cast<std::int32_t>(-v),
            static_cast<std::uint8_t>(exponent)};
}

std::int32_t ZeroLevel(std::int32_t max, std::int32_t min, int bits) {
    if (max == min) return 0;
    bits = std::clamp(bits, 0, 30);
    const std::int64_t numerator = -static_cast<std::int64_t>(min) * (std::int64_t{1} << bits);
    const std::int64_t span = static_cast<std::int64_t>(max) - min;
    return static_cast<std::int32_t>(numerator / span);
}

double VoltsPerCode(std::int32_t max, std::int32_t min, std::uint8_t exponent, int bits) {
    const double span = static_cast<double>(max) - static_cast<double>(min);
    return span * std::pow(10.0, static_cast<int>(exponent) - 12) / std::ldexp(1.0, bits);
}

float DecodeTimeRange(std::uint16_t code) {
    const int mantissa = code & 0x0FFF;
    const int e = code >> 12;
    return static_cast<float>(mantissa * std::pow(10.0, (e - 4) * 3));
}

}  // namespace tonewell

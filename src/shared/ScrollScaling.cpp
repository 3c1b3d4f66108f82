#include "shared/ScrollScaling.h"

#include <algorithm>
#include <cmath>

namespace tonewell {

namespace {

std::int32_t TruncateClamped(double value, std::int32_t maximum) {
    if (!(value > 0.0)) return 0;  // also NaN
    if (value >= static_cast<double>(maximum)) return maximum;
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t TimeScrollMaximum(int multiplier) { return multiplier <= 1 ? 10 : 100 * (multiplier - 1); }

int TimeMultiplierOf(std::int32_t maximum) { return maximum / 100 + 1; }

ScrollRange RescaleTimeScroll(ScrollRange old, int multiplier) {
    const int m = std::max(multiplier, 1);
    const int m0 = TimeMultiplierOf(old.maximum);
    if (m == m0) return old;
    ScrollRange result;
    result.maximum = TimeScrollMaximum(m);
    if (m == 1) return result;
    const double oldFraction = old.maximum > 0 ? static_cast<double>(old.position) / old.maximum : 0.0;
    // The centre of the view as a fraction of the whole record.
    const double centre = (oldFraction * (m0 - 1) + 0.5) / m0;
    result.position = TruncateClamped((centre * m - 0.5) / (m - 1) * result.maximum, result.maximum);
    return result;
}

std::int32_t ValueScrollMaximum(int multiplier) { return 100 * (std::max(multiplier, 0) + 1); }

int ValueMultiplierOf(std::int32_t maximum) { return maximum / 100 - 1; }

ScrollRange RescaleValueScroll(ScrollRange old, int multiplier) {
    const int m = std::max(multiplier, 0);
    const int m0 = ValueMultiplierOf(old.maximum);
    if (m == m0) return old;
    ScrollRange result;
    result.maximum = ValueScrollMaximum(m);
    if (m0 <= 0 || old.maximum <= 0) {
        result.position = result.maximum / 2;
        return result;
    }
    // Offset of the view's centre from the zero line, in screens.
    const double offset = static_cast<double>(old.position - old.maximum / 2) / old.maximum * (m0 + 1);
    const double scaled = static_cast<double>(m) * offset / m0;
    result.position = TruncateClamped(result.maximum * scaled / (m + 1) + result.maximum / 2, result.maximum);
    return result;
}

std::optional<std::int32_t> WidenThumbPosition(std::int32_t current, std::int16_t reported) {
    const std::int32_t u = reported;
    if (current < 0 || current >= 131072) return std::nullopt;
    if (current < 32768) return u >= 0 ? u : u + 65536;
    if (current < 65536) return (u <= 0 || current >= 45056) ? u + 65536 : u;
    if (current < 98304) return (u >= 0 || current < 81920) ? u + 65536 : u + 131072;
    return u >= 1 ? u + 65536 : u + 131072;
}

}  // namespace tonewell

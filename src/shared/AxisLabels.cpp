#include "shared/AxisLabels.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tonewell {

AxisLabelStep AxisLabelStepFor(int spanMantissa, int prefixIndex, int multiplier) {
    const int divisor = multiplier <= 0 ? 1 : multiplier;
    AxisLabelStep result;
    result.prefixIndex = prefixIndex;
    result.step = spanMantissa / divisor;
    if (spanMantissa % divisor != 0 || result.step == 0) {
        result.step = static_cast<std::int32_t>(static_cast<std::int64_t>(spanMantissa) * 1000 / divisor);
        result.prefixIndex = prefixIndex > 0 ? prefixIndex - 1 : 0;
        result.lowered = 1;
    }
    result.decimals = 2;
    std::int32_t rest = result.step;
    while (result.decimals > 0 && rest % 10 == 0) {
        --result.decimals;
        rest /= 10;
    }
    return result;
}

std::int64_t HorizontalLabelHundredths(const AxisLabelStep& step, std::int32_t scrollPosition, int tenths,
                                       int multiplier, bool symmetric) {
    const std::int64_t m = multiplier <= 0 ? 1 : multiplier;
    std::int64_t units = static_cast<std::int64_t>(scrollPosition) + 10 * static_cast<std::int64_t>(tenths);
    if (symmetric) units -= 50 * m;
    return units * step.step;
}

std::int64_t VerticalLabelHundredths(const AxisLabelStep& step, std::int32_t scrollPosition,
                                     std::int32_t scrollMaximum, int tenths, int multiplier, bool symmetric) {
    const std::int64_t m = multiplier <= 0 ? 1 : multiplier;
    const std::int64_t offset = static_cast<std::int64_t>(scrollMaximum / 2) - scrollPosition;
    const std::int64_t top = symmetric ? 50 : (m + 1) * 50;
    return (top - 10 * static_cast<std::int64_t>(tenths) + offset) * step.step;
}

std::string FormatAxisLabel(std::int64_t hundredths, int decimals) {
    char digits[32];
    const long long magnitude = std::llabs(static_cast<long long>(hundredths));
    std::snprintf(digits, sizeof digits, "%03lld", magnitude);
    const std::string text(digits);
    std::string label = hundredths < 0 ? "-" : "";
    label += text.substr(0, text.size() - 2);
    if (decimals > 0) {
        label += '.';
        label += text.substr(text.size() - 2, static_cast<std::size_t>(decimals > 2 ? 2 : decimals));
    }
    return label;
}

bool AxisLabelWithinRange(std::int64_t hundredths, int lowered, int mantissa) {
    double magnitude = std::fabs(static_cast<double>(hundredths));
    for (int i = 0; i < lowered; ++i) magnitude /= 1000.0;
    return magnitude <= static_cast<double>(mantissa) * 100.0;
}

char UnitPrefixLetter(int prefixIndex) {
    constexpr char kLetters[] = {'p', 'n', 'u', 'm', ' ', 'k', 'M'};
    return prefixIndex >= 0 && prefixIndex < 7 ? kLetters[prefixIndex] : '?';
}

std::string AxisCaption(std::string_view head, char prefixLetter, std::string_view tail) {
    std::string caption;
    for (char c : head)
        if (c != ' ') caption += c;
    if (prefixLetter != ' ') caption += prefixLetter;
    for (char c : tail)
        if (c != ' ') caption += c;
    return caption;
}

}  // namespace tonewell

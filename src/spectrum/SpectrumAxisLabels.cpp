#include "spectrum/SpectrumAxisLabels.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tonewell {

std::string FormatThousandthsLabel(std::int64_t thousandths) {
    const long long magnitude = std::llabs(static_cast<long long>(thousandths));
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld.%03lld", thousandths < 0 ? "-" : "", magnitude / 1000, magnitude % 1000);
    return text;
}

LogGridPlan LogGridFor(double firstFrequency) {
    LogGridPlan plan;
    if (!(firstFrequency > 0.0) || !std::isfinite(firstFrequency)) firstFrequency = 1.0;
    int exponent = static_cast<int>(std::floor(std::log10(firstFrequency)));
    double mantissa = firstFrequency / std::pow(10.0, exponent);
    // log10 may land a hair beside a power of ten.
    if (mantissa >= 10.0) {
        mantissa /= 10.0;
        ++exponent;
    } else if (mantissa < 1.0) {
        mantissa *= 10.0;
        --exponent;
    }
    plan.exponent = exponent;
    int base = static_cast<int>(std::ceil(mantissa - 1e-9));
    for (int& b : plan.bases) {
        b = base;
        base += base < 10 ? 1 : 10;
    }
    return plan;
}

bool IsLabelledLogBase(int base) {
    return base == 1 || base == 2 || base == 5 || base == 10 || base == 20 || base == 50;
}

std::string FormatLogGridLabel(std::int64_t hundredthsOfHertz) {
    const std::string digits = std::to_string(std::llabs(static_cast<long long>(hundredthsOfHertz)));
    const std::size_t n = digits.size();
    if (n == 1) return "0.0" + digits;
    if (n == 2) return "0." + digits.substr(0, 1);
    if (n <= 5) return digits.substr(0, n - 2);
    if (n <= 8) return digits.substr(0, n - 5) + "k";
    return digits.substr(0, n - 8) + "M";
}

int DbGridStep(int multiplier) { return 10 / (multiplier <= 0 ? 1 : multiplier); }

int FirstDbGridLine(double topDb, int step) {
    if (step <= 0 || !std::isfinite(topDb)) return 0;
    const double lines = std::floor(topDb / step);
    // Far off any useful picture: keep the arithmetic in range.
    if (std::fabs(lines) > 1e8) return 0;
    return (static_cast<int>(lines) + 1) * step;
}

std::string FormatDbLabel(int db) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", db);
    return text;
}

}  // namespace tonewell

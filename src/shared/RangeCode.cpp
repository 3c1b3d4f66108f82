#include "shared/RangeCode.h"

#include <limits>

namespace tonewell {

namespace {
constexpr double kThousandPowers[] = {1.0, 1e3, 1e6, 1e9, 1e12};
constexpr std::int64_t kIntegerThousandPowers[] = {1, 1000, 1000000, 1000000000, 1000000000000};
}  // namespace

double RangeCode::value() const {
    int steps = prefixIndex() - kNoPrefix;
    double m = mantissa();
    // Dividing by an exact power of ten rounds once, so "100u" is the double nearest 1e-4.
    return steps < 0 ? m / kThousandPowers[-steps] : m * kThousandPowers[steps];
}

char RangeCode::prefixLetter() const {
    constexpr char kLetters[] = {'p', 'n', 'u', 'm', ' ', 'k', 'M'};
    int index = prefixIndex();
    return index < 7 ? kLetters[index] : '?';
}

std::int64_t SamplesInSpan(RangeCode code, std::int64_t samplesPerSecond) {
    if (samplesPerSecond <= 0) return 0;
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    // mantissa < 2^12, so the product is exact for every rate below 2^51.
    std::int64_t product = samplesPerSecond > kMax / 4096 ? kMax : code.mantissa() * samplesPerSecond;
    int steps = code.prefixIndex() - RangeCode::kNoPrefix;
    if (steps <= 0) return product / kIntegerThousandPowers[-steps];
    std::int64_t factor = kIntegerThousandPowers[steps];
    return product > kMax / factor ? kMax : product * factor;
}

}  // namespace tonewell

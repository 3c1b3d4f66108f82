#pragma once
// The 16-bit code of a display range (time, volts, hertz, degrees): bits 0-11 the mantissa,
// bits 12-14 the unit-prefix index (0 p, 1 n, 2 u, 3 m, 4 none, 5 k, 6 M), bit 15 set when the
// axis spans -value..+value. Code 0 is "Off". A plain value type.

#include <cstdint>

namespace tonewell {

class RangeCode {
public:
    static constexpr int kNoPrefix = 4;

    constexpr RangeCode() = default;
    constexpr explicit RangeCode(std::uint16_t bits) : bits_(bits) {}
    // Codes are stored in 32-bit table values too; only the low 16 bits carry the code.
    static constexpr RangeCode FromValue(std::int32_t value) {
        return RangeCode(static_cast<std::uint16_t>(value & 0xFFFF));
    }
    static constexpr RangeCode FromParts(int mantissa, int prefixIndex, bool symmetric) {
        return RangeCode(static_cast<std::uint16_t>((mantissa & 0x0FFF) | ((prefixIndex & 7) << 12) |
                                                    (symmetric ? 0x8000 : 0)));
    }

    constexpr std::uint16_t bits() const { return bits_; }
    constexpr int mantissa() const { return bits_ & 0x0FFF; }
    constexpr int prefixIndex() const { return (bits_ >> 12) & 7; }
    constexpr bool symmetric() const { return (bits_ & 0x8000) != 0; }
    constexpr bool isOff() const { return bits_ == 0; }

    // mantissa x 10^(3 x (prefixIndex - 4)) in the axis unit (s, V, Hz, degrees); 0 for "Off".
    // For a symmetric code this is the half span.
    double value() const;

    // The prefix letter of the index ('p', 'n', 'u', 'm', ' ', 'k', 'M'); index 7 has none and
    // gives '?'.
    char prefixLetter() const;

    friend constexpr bool operator==(RangeCode a, RangeCode b) { return a.bits_ == b.bits_; }

private:
    std::uint16_t bits_ = 0;
};

// Whole samples in the span of a time-range code at samplesPerSecond:
// floor(mantissa x samplesPerSecond x 10^(3 x (prefixIndex - 4))), in exact integer arithmetic so
// that a span holding exactly N samples gives N (10 ms at 44100 Hz gives 441). A rate of 0 or
// less gives 0; results beyond int64 saturate.
std::int64_t SamplesInSpan(RangeCode code, std::int64_t samplesPerSecond);

}  // namespace tonewell

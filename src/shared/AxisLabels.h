#pragma once
// The arithmetic of the views' axis labels: the step between labels for a range and its
// multiplier, the label texts (values in hundredths of the label unit), whether a label still
// lies inside the range, and the unit captions. Pure functions, shared by the oscilloscope and the
// spectrum view.

#include <cstdint>
#include <string>
#include <string_view>

namespace tonewell {

struct AxisLabelStep {
    std::int32_t step = 0;  // hundredths of the label unit per scroll unit
    int prefixIndex = 4;    // unit prefix of the labels: 0 p, 1 n, 2 u, 3 m, 4 none, 5 k, 6 M
    int decimals = 2;       // digits kept after the point: 2 less one per trailing zero of step
    int lowered = 0;        // prefix steps the labels went below the range's unit (0 or 1)
    friend bool operator==(const AxisLabelStep&, const AxisLabelStep&) = default;
};

// spanMantissa is the range's mantissa for an axis that starts at 0, twice it for an axis that
// spans -value..+value. multiplier 0 counts as 1. The step is spanMantissa / multiplier when that
// is whole and not 0, else spanMantissa x 1000 / multiplier in the next smaller unit.
AxisLabelStep AxisLabelStepFor(int spanMantissa, int prefixIndex, int multiplier);

// A label value in hundredths of the label unit: "%03d" of the magnitude (with "-" in front of a
// negative value), a point before the last two digits of which the first `decimals` remain;
// decimals 0 drops both. With 1 decimal: 1000 -> "10.0", 500 -> "5.0", 0 -> "0.0".
std::string FormatAxisLabel(std::int64_t hundredths, int decimals);

// False when the label's magnitude, brought back to the range's unit (divided by 1000 per
// lowered prefix step), exceeds the range: |hundredths| / 1000^lowered > mantissa x 100.
bool AxisLabelWithinRange(std::int64_t hundredths, int lowered, int mantissa);

// The letter of a unit prefix index: 'p', 'n', 'u', 'm', ' ', 'k', 'M'; '?' outside 0..6.
char UnitPrefixLetter(int prefixIndex);

// head, the prefix letter and tail with every blank removed: ("A(", ' ', "V)") -> "A(V)",
// ("", 'm', "s") -> "ms".
std::string AxisCaption(std::string_view head, char prefixLetter, std::string_view tail);

}  // namespace tonewell

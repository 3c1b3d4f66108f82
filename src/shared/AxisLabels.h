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

// The label at `tenths` (0, 5 or 10) of the width of a horizontal axis, in hundredths of the
// step's unit: (scrollPosition + 10 x tenths) x step; for an axis spanning -value..+value (whose
// step was made from twice the mantissa) the middle of the whole, 50 x multiplier scroll steps
// in, is 0. multiplier 0 counts as 1.
std::int64_t HorizontalLabelHundredths(const AxisLabelStep& step, std::int32_t scrollPosition, int tenths,
                                       int multiplier, bool symmetric);

// The label at `tenths` (0 top, 5 middle, 10 bottom) of the height of a value axis whose bar stands
// at scrollPosition of scrollMaximum, in hundredths of the step's unit. An axis spanning
// -value..+value has 0 in the middle when the bar is centred: (M/2 - p + 50 - 10 x tenths) x
// step; an axis from 0 has 0 on the bottom line at multiplier 1 with the bar centred:
// ((m + 1) x 50 - 10 x tenths + M/2 - p) x step. multiplier 0 counts as 1.
std::int64_t VerticalLabelHundredths(const AxisLabelStep& step, std::int32_t scrollPosition,
                                     std::int32_t scrollMaximum, int tenths, int multiplier, bool symmetric);

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

#pragma once
// The texts and grid positions that only the spectrum view's axes have: labels in thousandths
// (normalised amplitudes, fine correlation steps), the logarithmic frequency grid with its
// labels, and the dB grid. Pure functions; the label steps and scroll arithmetic the spectrum
// shares with the oscilloscope are in shared/AxisLabels.h.

#include <array>
#include <cstdint>
#include <string>

namespace tonewell {

// A value in thousandths written with three decimals: 1000 -> "1.000", 50 -> "0.050",
// -200 -> "-0.200".
std::string FormatThousandthsLabel(std::int64_t thousandths);

// The vertical lines of a logarithmic frequency axis that starts at firstFrequency (fs/N, in Hz):
// nine base values from the first whole number at or above its mantissa, counting in ones up to
// 10 and then in tens; base t stands for the frequencies t x 10^exponent, t x 10^(exponent + 1)...
struct LogGridPlan {
    int exponent = 0;
    std::array<int, 9> bases{};
};
LogGridPlan LogGridFor(double firstFrequency);

// Lines of the bases 1, 2, 5, 10, 20 and 50 carry a label.
bool IsLabelledLogBase(int base);

// A grid frequency given in hundredths of a hertz, by its number of digits: "0.05", "0.5", "5",
// "50", "500", "5k", "50k", "500k", "5M"...
std::string FormatLogGridLabel(std::int64_t hundredthsOfHertz);

// dB between the lines of the dB grid: 10 dB divided by the multiplier (0 counts as 1), whole.
int DbGridStep(int multiplier);

// The first line of the dB grid: one step above the value at the top edge, on a whole multiple
// of the step.
int FirstDbGridLine(double topDb, int step);

// The most lines the dB grid draws.
inline constexpr int kDbGridLines = 12;

// "%02d" of a line's dB value: "00", "-10", "05".
std::string FormatDbLabel(int db);

}  // namespace tonewell

#pragma once
// Number texts of the readouts and of the text exports.

#include <cstdint>
#include <string>

namespace tonewell {

// Scales v by powers of 1000 to one of the prefixes "p", "n", "u", "m", none, "k", "M" and
// prints it "%10.3f" followed by the prefix letter, blanks removed: 0.0123 -> "12.300m",
// 2500 -> "2.500k", 0 -> "0.000". Values beyond the prefixes keep the outermost one.
std::string FormatEngineering(float v);

// The companion without a prefix: "%10.3f" with blanks removed.
std::string FormatFixed3(float v);

// Removes leading and trailing blanks.
std::string TrimBlanks(std::string text);

// Appends exactly the characters printf's "%.<decimals>f" gives (correct rounding, "-0.000000"
// for negative zero, "nan"/"inf"), without a printf call: text exports write millions of these.
void AppendFixed(std::string& out, double value, int decimals = 6);

// Appends exactly the characters of printf's "%d" / "%u".
void AppendInteger(std::string& out, std::int64_t value);

}  // namespace tonewell

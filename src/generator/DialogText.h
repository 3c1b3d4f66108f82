#pragma once
// How the generator's dialogs read the text of their boxes: as a decimal integer (leading
// blanks, an optional sign, the digits that follow; no digits read as 0, so "" and "abc" are 0
// and "12Hz" is 12) or as a number (the longest number after leading blanks). Integers saturate
// far beyond any field's range instead of overflowing, so a long row of digits still reads as
// "too large".

#include <cstdint>
#include <string_view>

namespace tonewell {

std::int64_t DialogInteger(std::string_view text);
double DialogNumber(std::string_view text);

}  // namespace tonewell

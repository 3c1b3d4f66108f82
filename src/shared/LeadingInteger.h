#pragma once
// The integer a control's text starts with, read the way the panel reads its boxes: leading
// blanks and tabs skipped, an optional sign, decimal digits up to the first other character
// ("25%" gives 25, "12ms" 12, "" and "abc" 0). Values beyond 32 bits saturate.

#include <cstdint>
#include <string_view>

namespace tonewell {

std::int32_t LeadingInteger(std::string_view text);

}  // namespace tonewell

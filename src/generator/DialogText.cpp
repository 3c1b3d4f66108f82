#include "generator/DialogText.h"

#include <charconv>
#include <limits>

namespace tonewell {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

std::int64_t DialogInteger(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsSpace(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t kCap = std::numeric_limits<std::int64_t>::max() / 10 - 10;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (value < kCap) value = value * 10 + (text[at] - '0');
    }
    return negative ? -value : value;
}

double DialogNumber(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() ? value : 0.0;
}

}  // namespace tonewell

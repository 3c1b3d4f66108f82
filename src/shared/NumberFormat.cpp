#include "shared/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tonewell {

namespace {
constexpr char kPrefixLetters[] = {'p', 'n', 'u', 'm', ' ', 'k', 'M'};
constexpr int kNoPrefix = 4;
constexpr int kLastPrefix = 6;
}  // namespace

std::string TrimBlanks(std::string text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string FormatEngineering(float v) {
    float magnitude = std::fabs(v);
    int index = kNoPrefix;
    while (magnitude >= 1000.0f && index < kLastPrefix) {
        magnitude /= 1000.0f;
        ++index;
    }
    while (magnitude > 0.0f && magnitude < 1.0f && index > 0) {
        magnitude *= 1000.0f;
        --index;
    }
    float shown = v < 0 ? -magnitude : magnitude;
    char text[64];
    std::snprintf(text, sizeof text, "%10.3f%c", static_cast<double>(shown), kPrefixLetters[index]);
    return TrimBlanks(text);
}

std::string FormatFixed3(float v) {
    char text[64];
    std::snprintf(text, sizeof text, "%10.3f", static_cast<double>(v));
    return TrimBlanks(text);
}

void AppendFixed(std::string& out, double value, int decimals) {
    if (std::isnan(value)) {
        out += std::signbit(value) ? "-nan" : "nan";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-inf" : "inf";
        return;
    }
    // Fixed notation of a double needs at most 309 integer digits plus the fraction.
    char text[400];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        int length = std::snprintf(text, sizeof text, "%.*f", decimals, value);
        out.append(text, static_cast<std::size_t>(length));
        return;
    }
    out.append(text, result.ptr);
}

void AppendInteger(std::string& out, std::int64_t value) {
    char text[24];
    auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

}  // namespace tonewell

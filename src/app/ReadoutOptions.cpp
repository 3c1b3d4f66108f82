#include "app/ReadoutOptions.h"

#include <charconv>
#include <cmath>

namespace tonewell {

namespace {

constexpr std::string_view kShowKey = "measurements/show";
constexpr std::string_view kClockPpmKey = "measurements/clockPpm";

}  // namespace

// Both directions ignore the locale the program runs under: the stored text reads back the
// same under any other.
std::optional<double> ParseClockPpm(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
        std::fabs(value) > kClockPpmLimit)
        return std::nullopt;
    return value;
}

std::string ClockPpmText(double ppm) {
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, ppm);
    return error == std::errc() ? std::string(text, end) : "0";
}

ReadoutOptions LoadReadoutOptions(const SettingsStore& store) {
    ReadoutOptions options;
    if (const auto show = store.value(kShowKey)) options.showMeasurements = *show == "true";
    if (const auto ppm = store.value(kClockPpmKey))
        options.clockPpm = ParseClockPpm(*ppm).value_or(options.clockPpm);
    return options;
}

void SaveReadoutOptions(SettingsStore& store, const ReadoutOptions& options) {
    store.setValue(kShowKey, options.showMeasurements ? "true" : "false");
    store.setValue(kClockPpmKey, ClockPpmText(options.clockPpm));
}

}  // namespace tonewell

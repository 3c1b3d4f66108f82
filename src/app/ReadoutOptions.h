#pragma once
// The user's choices for the measurement readouts: whether the views show them, and the sampling
// clock correction their frequencies take. They are the user's preferences, kept in the
// desktop's settings store, not in "Vorel.cfg", whose bytes stay those of the instrument's
// configuration.

#include <optional>
#include <string>
#include <string_view>

#include "platform/SettingsStore.h"

namespace tonewell {

struct ReadoutOptions {
    bool showMeasurements = false;
    // Parts per million the sampling clock runs fast: frequencies are read times 1 + ppm / 10⁶.
    // Found with a known reference F_true read as F with a correction of 0:
    // ppm = (F_true / F - 1) x 10⁶.
    double clockPpm = 0.0;
    friend bool operator==(const ReadoutOptions&, const ReadoutOptions&) = default;
};

// A card's crystal is off by some tens of ppm; beyond a thousand the reading is mistaken.
inline constexpr double kClockPpmLimit = 1000.0;
inline constexpr const char* kClockPpmMessage = "Please input a value within -1000~1000 ppm";

// The correction typed into a box or given on the command line: a number within ±kClockPpmLimit,
// else nothing.
std::optional<double> ParseClockPpm(std::string_view text);
// The correction as a box shows it: "0", "37.5", "-12.25".
std::string ClockPpmText(double ppm);

// The stored choices; a value missing or unreadable keeps its default.
ReadoutOptions LoadReadoutOptions(const SettingsStore& store);
void SaveReadoutOptions(SettingsStore& store, const ReadoutOptions& options);

}  // namespace tonewell

#pragma once
// The ranges the generator dialog holds its typed fields to, with the messages it shows for a
// value outside them; the dialog checks its boxes with them and tonewell-cli its --set values.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "generator/GeneratorSettings.h"
#include "generator/OutputCalibration.h"

namespace tonewell {

inline constexpr const char* kPhaseRangeMessage = "Please input a value within -180~180 Degree";
inline constexpr const char* kSweepDurationMessage = "Please enter an integer between 1 and 2147483647.";
inline constexpr std::int64_t kMaxSweepDuration = 2147483647;

// "Please input a value within 1~limit Hz": output and sweep frequencies, up to half the rate.
std::string FrequencyRangeMessage(std::uint32_t limit);
// "Please input a value within 1~N mV", N the whole millivolts of the full scale.
std::string AmplitudeRangeMessage(float fullScale);

// The dialog's message for the named settings field when its value lies outside the field's
// range at the settings' own rate and resolution; nothing when it lies inside or the dialog
// does not check the field (waveforms, switches, the format rows).
std::optional<std::string> GeneratorFieldProblem(const GeneratorSettings& settings, std::string_view field,
                                                 const OutputCalibration& calibration);

}  // namespace tonewell

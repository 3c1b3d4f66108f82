#include "generator/GeneratorFieldLimits.h"

#include "shared/NumberFormat.h"

namespace tonewell {

namespace {

std::string Decimal(std::int64_t value) {
    std::string text;
    AppendInteger(text, value);
    return text;
}

}  // namespace

std::string FrequencyRangeMessage(std::uint32_t limit) {
    return "Please input a value within 1~" + Decimal(limit) + " Hz";
}

std::string AmplitudeRangeMessage(float fullScale) {
    return "Please input a value within 1~" + Decimal(static_cast<std::int64_t>(fullScale)) + " mV";
}

std::optional<std::string> GeneratorFieldProblem(const GeneratorSettings& s, std::string_view field,
                                                 const OutputCalibration& calibration) {
    const std::uint32_t frequencyLimit = SamplingFrequency(s) / 2;
    const auto frequency = [&](std::uint32_t value) -> std::optional<std::string> {
        if (value >= 1 && value <= frequencyLimit) return std::nullopt;
        return FrequencyRangeMessage(frequencyLimit);
    };
    if (field == "frequencyA") return frequency(s.frequencyA);
    if (field == "frequencyB") return frequency(s.frequencyB);
    if (field == "sweepStartA") return frequency(s.sweepStartA);
    if (field == "sweepStartB") return frequency(s.sweepStartB);
    if (field == "sweepEndA") return frequency(s.sweepEndA);
    if (field == "sweepEndB") return frequency(s.sweepEndB);
    if (field == "amplitudeA" || field == "amplitudeB") {
        const float fullScale = calibration.forBits(BitsPerSample(s));
        const std::uint32_t value = field == "amplitudeA" ? s.amplitudeA : s.amplitudeB;
        if (value >= 1 && static_cast<double>(value) <= static_cast<double>(fullScale)) return std::nullopt;
        return AmplitudeRangeMessage(fullScale);
    }
    if (field == "phaseDifference") {
        if (s.phaseDifference >= -180 && s.phaseDifference <= 180) return std::nullopt;
        return std::string(kPhaseRangeMessage);
    }
    if (field == "sweepDuration") {
        if (s.sweepDuration >= 1 && s.sweepDuration <= kMaxSweepDuration) return std::nullopt;
        return std::string(kSweepDurationMessage);
    }
    return std::nullopt;
}

}  // namespace tonewell

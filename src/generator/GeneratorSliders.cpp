#include "generator/GeneratorSliders.h"

#include <algorithm>

namespace tonewell {

namespace {

// The slider holds its range whatever a value outside the field's range would give.
int OnSlider(double position) {
    return static_cast<int>(std::clamp(position, static_cast<double>(kSliderTop), static_cast<double>(kSliderBottom)));
}

int OnSlider(int position) { return std::clamp(position, kSliderTop, kSliderBottom); }

}  // namespace

int FrequencySliderPosition(std::uint32_t frequency, std::uint32_t samplingFrequency) {
    const std::uint32_t half = samplingFrequency / 2;
    if (half <= 1) return kSliderTop;
    const double f = frequency;
    return OnSlider(100.0 - (f - 1.0) * 100.0 / (static_cast<double>(half) - 1.0));
}

std::uint32_t FrequencyFromSlider(int position, std::uint32_t samplingFrequency) {
    const std::uint32_t half = samplingFrequency / 2;
    if (half <= 1) return 1;
    const double span = static_cast<double>(half - 1) * (100 - OnSlider(position));
    return static_cast<std::uint32_t>(span * 0.01 + 1.01);
}

int AmplitudeSliderPosition(std::uint32_t amplitude, float fullScale) {
    const double c = fullScale;
    if (!(c > 1.0)) return kSliderTop;
    const double a = amplitude;
    return OnSlider(100.0 - (a - 1.0) * 100.0 / (c - 1.0));
}

std::uint32_t AmplitudeFromSlider(int position, float fullScale) {
    const double c = fullScale;
    if (!(c > 1.0)) return 1;
    return static_cast<std::uint32_t>((100 - OnSlider(position)) * (c - 1.0) * 0.01 + 1.01);
}

int PhaseSliderPosition(std::int32_t phase) {
    const std::int32_t held = std::clamp(phase, -180, 180);
    return OnSlider((held + 180) * 100 / 360);
}

std::int32_t PhaseFromSlider(int position) { return static_cast<std::int32_t>(OnSlider(position) * 3.6 - 180.0); }

}  // namespace tonewell

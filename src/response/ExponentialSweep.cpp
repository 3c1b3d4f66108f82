#include "response/ExponentialSweep.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tonewell {

std::string SweepSettingsProblem(const SweepSettings& s) {
    if (!(s.sampleRate >= 8000 && s.sampleRate <= 192000)) return "the sampling rate must be 8000 to 192000 Hz";
    const double top = 0.95 * s.sampleRate / 2.0;
    if (!(s.fromHz >= 1.0 && s.toHz <= top))
        return "the sweep must stay between 1 Hz and " + std::to_string(static_cast<int>(top)) + " Hz at this rate";
    if (!(s.toHz >= s.fromHz * std::exp2(1.0 / 3.0))) return "the sweep must span at least a third of an octave";
    if (!(s.seconds >= 0.1 && s.seconds <= 60.0)) return "the sweep must last 0.1 to 60 seconds";
    if (s.seconds * s.sampleRate > kLongestSweepSamples)
        return "the sweep is too long for this rate: at most " +
               std::to_string(static_cast<int>(kLongestSweepSamples / s.sampleRate)) + " seconds";
    if (!(s.levelDbfs >= -60.0 && s.levelDbfs <= 0.0)) return "the level must be -60 to 0 dBFS";
    return {};
}

std::vector<float> MakeExponentialSweep(const SweepSettings& s) {
    const auto count = static_cast<std::size_t>(std::llround(s.seconds * s.sampleRate));
    const double rate = s.sampleRate;
    const double span = std::log(s.toHz / s.fromHz);
    const double timeConstant = s.seconds / span;  // seconds per e-fold of frequency
    const double phaseScale = 2.0 * std::numbers::pi * s.fromHz * timeConstant;
    const double amplitude = std::pow(10.0, s.levelDbfs / 20.0);
    // The ramps cover a fixed share of the band, at most a tenth of the sweep each.
    const double fadeIn = std::min(timeConstant * std::log(2.0) / 6.0, s.seconds / 10.0);
    const double fadeOut = std::min(timeConstant * std::log(2.0) / 24.0, s.seconds / 10.0);
    std::vector<float> sweep(count);
    for (std::size_t n = 0; n < count; ++n) {
        const double t = static_cast<double>(n) / rate;
        double gain = amplitude;
        if (t < fadeIn) gain *= 0.5 - 0.5 * std::cos(std::numbers::pi * t / fadeIn);
        const double left = static_cast<double>(count - 1 - n) / rate;
        if (left < fadeOut) gain *= 0.5 - 0.5 * std::cos(std::numbers::pi * left / fadeOut);
        sweep[n] = static_cast<float>(gain * std::sin(phaseScale * std::expm1(t / timeConstant)));
    }
    return sweep;
}

}  // namespace tonewell

#pragma once
// The stimulus of a frequency-response measurement: an exponential (logarithmic) sine sweep
// whose frequency rises by the same ratio in equal times, so that every octave gets the same
// time and the harmonics the system adds fall before its linear impulse response. Plain values
// and a pure function; any thread.

#include <cstdint>
#include <string>
#include <vector>

namespace tonewell {

struct SweepSettings {
    double fromHz = 20.0;
    double toHz = 20000.0;
    double seconds = 5.0;
    double levelDbfs = -12.0;  // peak level relative to full scale
    std::uint32_t sampleRate = 48000;
};

// The most samples a sweep may have, so that its measurement fits the response's transform.
inline constexpr double kLongestSweepSamples = 2097152.0;

// Why the settings cannot make a sweep ("" when they can): the band must lie inside
// 1 Hz .. 0.95 x half the rate with `to` at least a third of an octave above `from`, the
// duration 0.1 .. 60 s and at most kLongestSweepSamples, the level -60 .. 0 dBFS, the rate
// 8000 .. 192000 Hz.
std::string SweepSettingsProblem(const SweepSettings& settings);

// The sweep, round(seconds x rate) samples of full scale 1: A·sin(2π·from·T·(e^(t/T) − 1)) with
// T = seconds / ln(to/from), faded in over its first sixth of an octave and out over its last
// twenty-fourth with half-cosine ramps, so that neither end clicks. The settings must be valid.
std::vector<float> MakeExponentialSweep(const SweepSettings& settings);

}  // namespace tonewell

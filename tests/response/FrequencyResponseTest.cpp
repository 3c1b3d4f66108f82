// The response of systems whose answer is known exactly: a sweep of the test's own making,
// delayed (by whole or fractional samples, evaluating the sweep itself at the later time),
// through biquads computed in the test, inverted or buried in noise. Magnitude within 0.1 dB and phase
// within 2 degrees from 50 Hz to 15 kHz, the latency within 0.1 ms.

#include "response/FrequencyResponse.h"

#include "response/KnownFilters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <ostream>
#include <random>
#include <vector>

namespace tonewell {
namespace {

constexpr double kRate = 48000;
constexpr double kPi = std::numbers::pi;
using Complex = std::complex<double>;

// A 20 Hz - 20 kHz exponential sweep of 3 s at -6 dBFS with 50 ms Hann ramps, at time t.
double SweepAt(double t) {
    constexpr double seconds = 3.0, ramp = 0.05;
    if (t < 0.0 || t > seconds) return 0.0;
    const double constant = seconds / std::log(1000.0);
    double gain = 0.5;
    if (t < ramp) gain *= 0.5 - 0.5 * std::cos(kPi * t / ramp);
    if (seconds - t < ramp) gain *= 0.5 - 0.5 * std::cos(kPi * (seconds - t) / ramp);
    return gain * std::sin(2.0 * kPi * 20.0 * constant * std::expm1(t / constant));
}

using testing::Biquad;
using Kind = testing::FilterKind;

struct SystemCase {
    const char* name;
    Kind kind;
    double f0, q, gainDb;
    double delaySamples;  // may be fractional
    bool inverted;
    double noiseDb;  // white noise relative to the sweep's RMS; 0: none
};

void PrintTo(const SystemCase& c, std::ostream* out) { *out << c.name; }

class KnownSystems : public ::testing::TestWithParam<SystemCase> {};

TEST_P(KnownSystems, MagnitudePhaseAndLatencyMatchTheExactResponse) {
    const SystemCase& c = GetParam();
    const auto length = static_cast<std::size_t>(3.0 * kRate);
    std::vector<float> stimulus(length), recorded(length + 4800);
    for (std::size_t i = 0; i < stimulus.size(); ++i) stimulus[i] = static_cast<float>(SweepAt(i / kRate));
    for (std::size_t i = 0; i < recorded.size(); ++i)
        recorded[i] = static_cast<float>((c.inverted ? -1 : 1) * SweepAt((i - c.delaySamples) / kRate));
    const Biquad filter = testing::MakeBiquad(c.kind, c.f0, c.q, kRate, c.gainDb);
    filter.run(recorded);
    if (c.noiseDb != 0) {
        std::mt19937 random(3);
        std::normal_distribution<double> normal(0.0, 0.5 / std::sqrt(2.0) * std::pow(10.0, c.noiseDb / 20));
        for (float& v : recorded) v += static_cast<float>(normal(random));
    }

    const ResponseResult result = ComputeResponse(stimulus, recorded, kRate, {20.0, 20000.0});
    ASSERT_TRUE(result.ok()) << result.problem;
    const FrequencyResponse& r = result.response;
    EXPECT_EQ(r.inverted, c.inverted);
    // A pure delay's peak is the delay; a filter's lies a little later.
    const double latency = r.latencySeconds * kRate;
    EXPECT_GE(latency, c.delaySamples - 0.1e-3 * kRate);
    EXPECT_LE(latency, c.delaySamples + (c.kind == Kind::Through ? 0.1e-3 * kRate : 20.0));
    // Beyond a pure delay: the one reported, or for a pure delay the true one.
    const double removed = c.kind == Kind::Through ? c.delaySamples : latency;
    double worstDb = 0, worstDegrees = 0;
    for (std::size_t i = 0; i < r.frequencyHz.size(); ++i) {
        const double f = r.frequencyHz[i];
        if (f < 50 || f > 15000) continue;
        const Complex exact = (c.inverted ? -1.0 : 1.0) * filter.at(f) *
                              std::polar(1.0, -2 * kPi * f * (c.delaySamples - removed) / kRate);
        worstDb = std::max(worstDb, std::fabs(r.magnitudeDb[i] - 20 * std::log10(std::abs(exact))));
        worstDegrees = std::max(worstDegrees, std::fabs(std::remainder(r.phaseDegrees[i] - std::arg(exact) * 180 / kPi, 360.0)));
    }
    EXPECT_LT(worstDb, 0.1);
    EXPECT_LT(worstDegrees, 2.0);
}

INSTANTIATE_TEST_SUITE_P(
    Systems, KnownSystems,
    ::testing::Values(SystemCase{"WholeDelay", Kind::Through, 0, 1, 0, 480, false, 0},
                      SystemCase{"FractionalDelay", Kind::Through, 0, 1, 0, 123.37, false, 0},
                      SystemCase{"Inverted", Kind::Through, 0, 1, 0, 7, true, 0},
                      SystemCase{"LowPass1k", Kind::LowPass, 1000, 0.7071, 0, 0, false, 0},
                      SystemCase{"HighPass100Delayed", Kind::HighPass, 100, 0.7071, 0, 240, false, 0},
                      SystemCase{"ResonantPeak", Kind::Peak, 3000, 4, 9, 31.5, false, 0},
                      SystemCase{"HighPassInNoise", Kind::HighPass, 200, 0.7071, 0, 96, false, -60}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrequencyResponse, GridCoversTheSweepsBandAtLeastFortyEightPointsPerOctave) {
    std::vector<float> sweep(static_cast<std::size_t>(3.0 * kRate));
    for (std::size_t i = 0; i < sweep.size(); ++i) sweep[i] = static_cast<float>(SweepAt(i / kRate));
    const ResponseResult result = ComputeResponse(sweep, sweep, kRate);
    ASSERT_TRUE(result.ok()) << result.problem;
    const FrequencyResponse& r = result.response;
    // The band found in the stimulus: the sweep's, give or take its ramps.
    EXPECT_GT(r.fromHz, 10.0);
    EXPECT_LE(r.fromHz, 20.0);
    EXPECT_NEAR(r.toHz, 20000.0, 1000.0);
    EXPECT_EQ(r.frequencyHz.front(), r.fromHz);
    EXPECT_NEAR(r.frequencyHz.back(), r.toHz, 1e-6);
    for (std::size_t i = 1; i < r.frequencyHz.size(); ++i)
        EXPECT_LE(r.frequencyHz[i] / r.frequencyHz[i - 1], std::exp2(1.0 / 48.0) + 1e-12);
}

struct RefusalCase {
    const char* name;
    std::size_t stimulusLength, recordedLength;
    double stimulusLevel, recordedLevel;  // of a sweep; the recording is noise when negative
    const char* problem;                  // a part of it
};

void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }

class Refusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, SayWhyAndComputeNothing) {
    const RefusalCase& c = GetParam();
    std::vector<float> stimulus(c.stimulusLength), recorded(c.recordedLength);
    std::mt19937 random(1);
    std::normal_distribution<double> normal(0.0, 0.1);
    for (std::size_t i = 0; i < stimulus.size(); ++i) stimulus[i] = static_cast<float>(c.stimulusLevel * SweepAt(i / kRate));
    for (std::size_t i = 0; i < recorded.size(); ++i)
        recorded[i] = static_cast<float>(c.recordedLevel < 0 ? normal(random) : c.recordedLevel * SweepAt(i / kRate));
    const ResponseResult result = ComputeResponse(stimulus, recorded, kRate);
    EXPECT_NE(result.problem.find(c.problem), std::string::npos) << result.problem;
    EXPECT_TRUE(result.response.frequencyHz.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Refusals,
    ::testing::Values(RefusalCase{"ShorterRecording", 96000, 95999, 1, 1, "shorter than the stimulus"},
                      RefusalCase{"SilentRecording", 96000, 96000, 1, 0, "recording is silent"},
                      RefusalCase{"SilentStimulus", 96000, 96000, 0, 1, "stimulus is silent"},
                      RefusalCase{"NoAnswerInNoise", 96000, 96000, 1, -1, "stands out"},
                      RefusalCase{"TooShort", 10, 100, 1, 1, "too short"}),
    [](const auto& info) { return std::string(info.param.name); });

// Sound lost on its way, as a starved sound server loses it: the recording (the sweep through a
// high-pass and 5 ms late) has silence put in at `at` seconds (the rest comes later), or loses a
// stretch there (the rest comes earlier), or holds a stretch twice.
struct LossCase {
    const char* name;
    double at, seconds;
    enum { Silence, Dropped, Repeated } kind;
};

void PrintTo(const LossCase& c, std::ostream* out) { *out << c.name; }

class LostSound : public ::testing::TestWithParam<LossCase> {};

TEST_P(LostSound, IsRefusedAsSoundLost) {
    const LossCase& c = GetParam();
    const auto length = static_cast<std::size_t>(3.0 * kRate);
    std::vector<float> stimulus(length), answer(length + 9600);
    for (std::size_t i = 0; i < stimulus.size(); ++i) stimulus[i] = static_cast<float>(SweepAt(i / kRate));
    for (std::size_t i = 0; i < answer.size(); ++i) answer[i] = static_cast<float>(SweepAt((i - 240.0) / kRate));
    testing::MakeBiquad(Kind::HighPass, 100, 0.7071, kRate).run(answer);
    const auto at = static_cast<std::ptrdiff_t>(c.at * kRate), span = static_cast<std::ptrdiff_t>(c.seconds * kRate);
    std::vector<float> recorded(answer.begin(), answer.begin() + at);
    if (c.kind == LossCase::Silence) recorded.insert(recorded.end(), static_cast<std::size_t>(span), 0.0f);
    if (c.kind == LossCase::Repeated) recorded.insert(recorded.end(), answer.begin() + at - span, answer.begin() + at);
    recorded.insert(recorded.end(), answer.begin() + at + (c.kind == LossCase::Dropped ? span : 0), answer.end());

    const ResponseResult result = ComputeResponse(stimulus, recorded, kRate, {20.0, 20000.0});
    EXPECT_TRUE(result.soundLost) << result.problem;
    EXPECT_NE(result.problem.find("lost sound"), std::string::npos) << result.problem;
    EXPECT_TRUE(result.response.frequencyHz.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, LostSound,
    ::testing::Values(LossCase{"SilenceOfAPeriod", 2.2, 0.005, LossCase::Silence},
                      LossCase{"SilenceOfAQuarterSecond", 0.9, 0.25, LossCase::Silence},
                      LossCase{"DroppedStretch", 1.7, 0.02, LossCase::Dropped},
                      LossCase{"DroppedInTheBass", 0.3, 0.01, LossCase::Dropped},
                      LossCase{"RepeatedStretch", 1.2, 0.03, LossCase::Repeated}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tonewell

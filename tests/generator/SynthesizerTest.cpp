#include "generator/ClassicRandom.h"
#include "generator/GeneratorTables.h"
#include "generator/PinkNoise.h"
#include "generator/Synthesizer.h"
#include "platform/RecordingShell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tonewell {
namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr std::uint8_t kGuard = 0xA5;

// One generator with a fixed seed clock, and buffers with guard bytes behind one second.
class SynthesisFixture : public ::testing::Test {
protected:
    GeneratorSettings settings;
    ToneLists tones;
    WaveformLibrary library;
    OutputCalibration calibration;
    FixedSeedClock clock{1000000u};
    RecordingShell shell;
    Synthesizer synth{settings, tones, library, calibration, clock, shell};
    std::vector<std::uint8_t> buffer;

    std::size_t bytes() const { return OutputFormatFor(settings).averageBytesPerSecond; }

    void start() {
        synth.startRun();
        buffer.assign(bytes() + 16, kGuard);
    }
    // Synthesises the next second of the run and counts it.
    bool next() {
        bool written = synth.Synthesize(buffer);
        synth.countBuffer();
        for (std::size_t i = bytes(); i < buffer.size(); ++i) EXPECT_EQ(buffer[i], kGuard) << "overrun at " << i;
        return written;
    }
    void stereo(int waveformB) {
        settings.channelsIndex = 1;
        settings.waveformIndexB = waveformB;
    }
    std::size_t frames() const { return OutputFormatFor(settings).samplesPerSecond; }
    int sample16(std::size_t frame, int channel) const {
        std::size_t at = frame * OutputFormatFor(settings).blockAlign + 2 * static_cast<std::size_t>(channel);
        return static_cast<std::int16_t>(buffer[at] | (buffer[at + 1] << 8));
    }
    int sample8(std::size_t frame, int channel) const {
        return buffer[frame * OutputFormatFor(settings).blockAlign + static_cast<std::size_t>(channel)];
    }
    std::vector<int> channel16(int channel) const {
        std::vector<int> v(frames());
        for (std::size_t k = 0; k < v.size(); ++k) v[k] = sample16(k, channel);
        return v;
    }
    std::vector<int> channel8(int channel) const {
        std::vector<int> v(frames());
        for (std::size_t k = 0; k < v.size(); ++k) v[k] = sample8(k, channel);
        return v;
    }
};

TEST_F(SynthesisFixture, FullScaleSineReachesExactlyFullCodeAndStartsAtZero) {
    start();
    ASSERT_TRUE(next());
    auto a = channel16(0);
    EXPECT_EQ(a[0], 0);
    int largest = 0;
    for (int v : a) largest = std::max(largest, std::abs(v));
    EXPECT_EQ(largest, 32767);
    // 1000 whole periods in the second: the quarter-period samples are near the peaks.
    EXPECT_GT(a[11], 32700);
    EXPECT_LT(a[33], -32700);
    EXPECT_TRUE(shell.messages().empty());
}

TEST_F(SynthesisFixture, EightBitSilenceOnBIsTheMidCode) {
    settings.resolutionIndex = 0;
    stereo(kWaveformNone);
    start();
    ASSERT_TRUE(next());
    auto b = channel8(1);
    EXPECT_TRUE(std::all_of(b.begin(), b.end(), [](int v) { return v == 127; }));
    auto a = channel8(0);
    EXPECT_EQ(a[0], 127);
    EXPECT_EQ(*std::max_element(a.begin(), a.end()), 254);
    EXPECT_EQ(*std::min_element(a.begin(), a.end()), 0);
}

TEST_F(SynthesisFixture, AmplitudeScalesAgainstTheCalibrationOfTheResolution) {
    settings.amplitudeA = 500;
    calibration.outputFullScale16 = 2000.0f;
    start();
    ASSERT_TRUE(next());
    auto a = channel16(0);
    // 500 / 2000 x 32767 = 8191.75, toward zero.
    EXPECT_EQ(*std::max_element(a.begin(), a.end()), 8191);
    EXPECT_EQ(*std::min_element(a.begin(), a.end()), -8191);
}

TEST_F(SynthesisFixture, AmplitudeAboveFullScaleSaturatesInsteadOfWrapping) {
    settings.amplitudeA = 3000;
    start();
    ASSERT_TRUE(next());
    auto a = channel16(0);
    EXPECT_EQ(*std::max_element(a.begin(), a.end()), 32767);
    EXPECT_EQ(*std::min_element(a.begin(), a.end()), -32768);
    EXPECT_GT(a[11], 0);  // the positive peaks stay positive
    settings.resolutionIndex = 0;
    start();
    ASSERT_TRUE(next());
    auto a8 = channel8(0);
    EXPECT_GT(a8[11], 200);
    EXPECT_LT(a8[33], 50);
}

struct PhaseRow {
    int waveform;
    int degrees;
    int expectedFirstB;  // sign of B's first sample relative to full scale: +1, -1 or 0
};
class PhaseDifference : public SynthesisFixture, public ::testing::WithParamInterface<PhaseRow> {};

TEST_P(PhaseDifference, BLeadsAByThePhaseDifference) {
    const PhaseRow& row = GetParam();
    settings.waveformIndexA = row.waveform;
    settings.sampleRateIndex = 3;  // 48000 Hz: 48 samples per period
    settings.phaseDifference = row.degrees;
    stereo(row.waveform);
    start();
    ASSERT_TRUE(next());
    int b0 = sample16(0, 1);
    if (row.expectedFirstB > 0) {
        EXPECT_GE(b0, 32760);
    } else if (row.expectedFirstB < 0) {
        EXPECT_LE(b0, -32760);
    } else {
        EXPECT_NEAR(b0, 0, 1);
    }
    // A itself is unshifted whatever B does.
    if (row.waveform != kWaveformSquare) {
        EXPECT_NEAR(sample16(0, 0), 0, 1);
    }
}
INSTANTIATE_TEST_SUITE_P(
    Waveforms, PhaseDifference,
    ::testing::Values(PhaseRow{kWaveformSine, 90, +1}, PhaseRow{kWaveformSine, -90, -1},
                      PhaseRow{kWaveformSine, 180, 0}, PhaseRow{kWaveformTriangle, 90, +1},
                      PhaseRow{kWaveformTriangle, -90, -1}, PhaseRow{kWaveformSquare, 180, -1},
                      PhaseRow{kWaveformSquare, 0, +1}, PhaseRow{kWaveformSawTooth, 180, -1},
                      PhaseRow{kWaveformSawTooth, 0, 0}));

TEST_F(SynthesisFixture, PhaseDifferenceIsIgnoredForUnequalFrequenciesOrASweep) {
    settings.phaseDifference = 90;
    stereo(kWaveformSine);
    settings.frequencyB = 1001;
    start();
    ASSERT_TRUE(next());
    EXPECT_EQ(sample16(0, 1), 0);

    settings.frequencyB = 1000;
    settings.sweepEnabled = true;
    start();
    ASSERT_TRUE(next());
    EXPECT_EQ(sample16(0, 1), 0);

    settings.sweepEnabled = false;
    start();
    ASSERT_TRUE(next());
    EXPECT_EQ(sample16(0, 1), 32767);
}

TEST_F(SynthesisFixture, FirstHalfCycleOfASquareIsPositive) {
    settings.waveformIndexA = kWaveformSquare;
    start();
    ASSERT_TRUE(next());
    // Phase in half-cycles advances 2000/44100 per sample: n = 0..22 lie in the first half-cycle.
    for (int n = 0; n <= 22; ++n) EXPECT_EQ(sample16(n, 0), 32767) << n;
    EXPECT_EQ(sample16(23, 0), -32767);
}

TEST_F(SynthesisFixture, TriangleAndSawToothShapes) {
    settings.sampleRateIndex = 3;  // 48 samples per period at 1000 Hz
    settings.waveformIndexA = kWaveformTriangle;
    start();
    ASSERT_TRUE(next());
    EXPECT_NEAR(sample16(0, 0), 0, 1);
    EXPECT_GE(sample16(12, 0), 32760);
    EXPECT_NEAR(sample16(24, 0), 0, 2);
    EXPECT_LE(sample16(36, 0), -32760);
    EXPECT_GT(sample16(6, 0), sample16(5, 0));

    settings.waveformIndexA = kWaveformSawTooth;
    start();
    ASSERT_TRUE(next());
    EXPECT_NEAR(sample16(0, 0), 0, 1);
    EXPECT_GT(sample16(23, 0), 31000);  // just before half a period
    EXPECT_LT(sample16(25, 0), -30000);  // jumped to the bottom
    EXPECT_NEAR(sample16(12, 0), 16384, 2);
}

TEST_F(SynthesisFixture, MultitoneSumIsScaledToTheRequestedAmplitude) {
    settings.waveformIndexA = kWaveformMultiTones;
    settings.amplitudeA = 500;
    tones[0].append(kWaveformSine, 1000, 1.0f);
    tones[0].append(kWaveformSine, 3000, 0.5f);
    tones[0].append(kWaveformSquare, 250, 0.25f);
    start();
    ASSERT_TRUE(next());
    auto a = channel16(0);
    int largest = 0;
    for (int v : a) largest = std::max(largest, std::abs(v));
    EXPECT_EQ(largest, 16383);  // 500 / 1000 x 32767, toward zero
    EXPECT_EQ(tones[0].count, 3u);  // MultiTones leaves the lists as configured
}

TEST_F(SynthesisFixture, SingleWaveformsRewriteTheToneLists) {
    tones[0].append(kWaveformSquare, 10, 0.1f);
    tones[0].append(kWaveformSquare, 20, 0.2f);
    tones[1].append(kWaveformSquare, 10, 0.1f);
    settings.frequencyA = 440;
    start();
    ASSERT_TRUE(next());
    ASSERT_EQ(tones[0].count, 1u);
    EXPECT_EQ(tones[0].waveform[0], kWaveformSine);
    EXPECT_EQ(tones[0].frequency[0], 440u);
    EXPECT_EQ(tones[0].amplitude[0], 1.0f);
    EXPECT_EQ(tones[1].count, 0u);  // mono output

    stereo(kWaveformTriangle);
    settings.frequencyB = 330;
    start();
    ASSERT_TRUE(next());
    ASSERT_EQ(tones[1].count, 1u);
    EXPECT_EQ(tones[1].waveform[0], kWaveformTriangle);
    EXPECT_EQ(tones[1].frequency[0], 330u);
}

TEST_F(SynthesisFixture, NoneToneClearsWhatCameBefore) {
    settings.waveformIndexA = kWaveformMultiTones;
    tones[0].append(kWaveformSine, 1000, 1.0f);
    tones[0].append(kWaveformNone, 0, 1.0f);
    tones[0].append(kWaveformSquare, 100, 1.0f);
    start();
    ASSERT_TRUE(next());
    auto mixed = channel16(0);

    settings.waveformIndexA = kWaveformSquare;
    settings.frequencyA = 100;
    start();
    ASSERT_TRUE(next());
    EXPECT_EQ(mixed, channel16(0));
}

TEST_F(SynthesisFixture, WhiteNoiseIsSeededFromTheClockPerChannel) {
    settings.waveformIndexA = kWaveformWhiteNoise;
    stereo(kWaveformWhiteNoise);
    start();
    ASSERT_TRUE(next());
    // The mix buffer holds channel B last: seeded with the time plus 1.
    ClassicRandom random(clock.nowSeconds() + 1);
    for (int n = 0; n < 4; ++n) {
        float expected = static_cast<float>(0.0 + 1.0f * (random.next() * 3.0518509e-05 - 0.5));
        EXPECT_EQ(synth.mixBuffer()[n], expected);
    }
    auto a = channel16(0), b = channel16(1);
    EXPECT_NE(a, b);
    int largest = 0;
    for (int v : a) largest = std::max(largest, std::abs(v));
    EXPECT_EQ(largest, 32767);

    // The same second of the clock gives the same noise; noise repeats each buffer.
    ASSERT_TRUE(next());
    EXPECT_EQ(channel16(0), a);
}

TEST_F(SynthesisFixture, PinkNoiseFollowsItsGeneratorAndReachesTheAmplitude) {
    settings.waveformIndexA = kWaveformPinkNoise;
    settings.amplitudeA = 200;
    start();
    ASSERT_TRUE(next());
    PinkNoise pink(clock.nowSeconds());
    for (int n = 0; n < 4; ++n) EXPECT_EQ(synth.mixBuffer()[n], 1.0f * pink.next());
    auto a = channel16(0);
    int largest = 0;
    for (int v : a) largest = std::max(largest, std::abs(v));
    EXPECT_EQ(largest, 6553);  // 200 / 1000 x 32767 = 6553.4
}

TEST_F(SynthesisFixture, LinearSweepIsContinuousAcrossBuffers) {
    settings.sweepEnabled = true;
    settings.sweepStartA = 100;
    settings.sweepEndA = 1000;
    settings.sweepDuration = 2;
    start();
    ASSERT_TRUE(next());
    const double phaseAfterFirst = synth.phaseA();
    ASSERT_TRUE(next());
    // Sample 0 of the second buffer is i = 44100: f = 100 + 900 x 44100 / 88200 = 550 Hz.
    const double expected = std::sin(phaseAfterFirst + kTwoPi * 550.0 / 44100.0);
    EXPECT_NEAR(synth.mixBuffer()[0], expected, 1e-6);
    // The last samples of the second buffer run at nearly 1000 Hz: sin steps of about 0.1425 rad.
    double p1 = std::asin(std::clamp<double>(synth.mixBuffer()[44098], -1, 1));
    double p2 = std::asin(std::clamp<double>(synth.mixBuffer()[44099], -1, 1));
    if (std::fabs(p1) < 1.2 && std::fabs(p2) < 1.2) {
        EXPECT_NEAR(std::fabs(p2 - p1), kTwoPi * 1000 / 44100, 0.002);
    }
}

TEST_F(SynthesisFixture, LogarithmicSweepAccumulatesThePowerLaw) {
    settings.sweepEnabled = true;
    settings.sweepLinearA = false;
    settings.sweepStartA = 20;
    settings.sweepEndA = 20000;
    settings.sweepDuration = 1;
    start();
    ASSERT_TRUE(next());
    // Sum of the per-sample steps for f(i) = 10^(log 20 + 3 i / 44100), reduced to one turn.
    double phase = 0;
    for (int i = 1; i < 44100; ++i) {
        double f = static_cast<float>(std::pow(10.0, std::log10(20.0) + 3.0 * i / 44100.0));
        phase = std::fmod(phase + kTwoPi * f / 44100.0, kTwoPi);
    }
    EXPECT_NEAR(synth.phaseA(), phase, 1e-6);
}

TEST_F(SynthesisFixture, LibraryAdvancesPointsPerSampleWithInterpolation) {
    library.pointCount = 100;
    for (int j = 0; j < 100; ++j) {
        library.pointsA[j] = static_cast<float>(j);
        library.pointsB[j] = static_cast<float>(-j);
    }
    settings.waveformIndexA = kWaveformLibrary;
    stereo(kWaveformLibrary);
    start();
    ASSERT_TRUE(next());
    // B is the last channel in the mix: the ramp 0, -1, ... read at 100 x 1000 / 44100 per sample.
    const double step = 100.0 * 1000.0 / 44100.0;
    for (int n = 0; n < 40; ++n) EXPECT_NEAR(synth.mixBuffer()[n], -std::fmod(n * step, 100.0), 1e-3) << n;
    // Between the last point and the first the value falls back linearly.
    EXPECT_NEAR(synth.mixBuffer()[44], -(99.0 * (1 - (44 * step - 99))), 1e-3);
    EXPECT_EQ(sample16(0, 0), 0);
    EXPECT_GT(sample16(43, 0), 32000);
    EXPECT_LT(sample16(43, 1), -32000);
    EXPECT_NEAR(synth.phaseA(), std::fmod(44099 * step, 100.0), 1e-6);
}

TEST_F(SynthesisFixture, LibraryWithoutPointsTellsTheUserAndLeavesTheBuffer) {
    settings.waveformIndexA = kWaveformLibrary;
    start();
    EXPECT_FALSE(next());
    EXPECT_EQ(shell.messages(), std::vector<std::string>{"Waveform Library File have not been loaded."});
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == kGuard; }));
}

TEST_F(SynthesisFixture, BufferShorterThanOneSecondIsRefused) {
    synth.startRun();
    buffer.assign(bytes() - 1, kGuard);
    EXPECT_FALSE(synth.Synthesize(buffer));
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == kGuard; }));
}

TEST_F(SynthesisFixture, StereoFramesInterleaveAThenB) {
    stereo(kWaveformSquare);
    settings.amplitudeB = 250;
    start();
    ASSERT_TRUE(next());
    EXPECT_EQ(sample16(0, 0), 0);
    EXPECT_EQ(sample16(0, 1), 8191);  // 250 / 1000 x 32767
    EXPECT_EQ(sample16(44099, 1), -8191);
}

}  // namespace
}  // namespace tonewell

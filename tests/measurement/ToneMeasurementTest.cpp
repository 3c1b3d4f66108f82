#include "measurement/ToneMeasurement.h"

#include "measurement/ToneRecord.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tonewell {
namespace {

using testing::Tone;
using testing::ToneRecord;

double Db(double powerRatio) { return 10.0 * std::log10(powerRatio); }

// The exact values of a tone record's channel under the measurement's definitions: white noise
// and the quantisation's LSB²/12 spread evenly up to half the rate, harmonics above the tenth
// counted as noise where they lie in the band.
struct Exact {
    double level, thd, thdn, sinad, snr;
};

Exact ExactOf(const Tone& tone, int bits, double rate, float fullScaleMillivolts) {
    const double top = std::min(20000.0, rate / 2.0);
    const double lsb = 2.0 * fullScaleMillivolts / 1000.0 / std::ldexp(1.0, bits);
    const double v1 = tone.amplitude * tone.amplitude / 2.0;
    double distortion = 0.0;
    double noise = (tone.noise * tone.noise + lsb * lsb / 12.0) * (top - 20.0) / (rate / 2.0);
    for (std::size_t k = 0; k < tone.harmonics.size(); ++k) {
        const double h = static_cast<double>(k + 2);
        const double power = v1 * tone.harmonics[k] * tone.harmonics[k];
        if (h * tone.frequency >= top) continue;  // out of the band, or not made at all
        (h <= 10 ? distortion : noise) += power;
    }
    return {std::sqrt(v1), Db(distortion / v1), Db((distortion + noise) / (v1 + distortion + noise)),
            Db(v1 / (distortion + noise)), Db(v1 / noise)};
}

// Odd harmonics 1/h of a square wave below half the rate.
std::vector<double> SquareHarmonics(double frequency, double rate) {
    std::vector<double> harmonics;
    for (int h = 2; h * frequency < rate / 2.0; ++h) harmonics.push_back(h % 2 == 1 ? 1.0 / h : 0.0);
    return harmonics;
}

struct AccuracyCase {
    const char* name;
    int bits;
    double rate, seconds;
    std::vector<Tone> tones;  // one per channel
    float fullScaleMillivolts = 1000.0f;
    double frequencyTolerance = 0.01;
};

class MeasurementAccuracy : public ::testing::TestWithParam<AccuracyCase> {};

TEST_P(MeasurementAccuracy, MeetsTheExactValuesOfSyntheticRecords) {
    const AccuracyCase& row = GetParam();
    const SignalRecord record = ToneRecord(row.bits, row.rate, row.seconds, row.tones, row.fullScaleMillivolts);
    ToneMeter meter;
    const RecordMeasurement measured = meter.measure(record, MeasurementSettings{});
    EXPECT_EQ(measured.b.status, row.tones.size() == 2 ? MeasurementStatus::Measured : MeasurementStatus::Absent);
    for (std::size_t c = 0; c < row.tones.size(); ++c) {
        SCOPED_TRACE(c == 0 ? "channel A" : "channel B");
        const Tone& tone = row.tones[c];
        const ChannelMeasurement& m = c == 0 ? measured.a : measured.b;
        ASSERT_EQ(m.status, MeasurementStatus::Measured);
        const Exact exact = ExactOf(tone, row.bits, row.rate, row.fullScaleMillivolts);
        EXPECT_NEAR(m.frequency, tone.frequency, row.frequencyTolerance);
        EXPECT_NEAR(20.0 * std::log10(m.level / exact.level), 0.0, 0.01);
        if (!tone.harmonics.empty()) {
            EXPECT_NEAR(m.thd, exact.thd, 0.1);
        }
        EXPECT_NEAR(m.thdn, exact.thdn, 0.2);
        EXPECT_NEAR(m.sinad, exact.sinad, 0.2);
        EXPECT_NEAR(m.snr, exact.snr, 0.3);
        EXPECT_NEAR(m.enob, (exact.sinad - 1.76) / 6.02, 0.05);
        EXPECT_NEAR(m.thdPercent, 100.0 * std::pow(10.0, m.thd / 20.0), 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Records, MeasurementAccuracy,
    ::testing::Values(
        AccuracyCase{"OnBin16BitMono", 16, 48000, 1.0, {{1000.0, 0.5, {0.01, 0.003}, 1e-4}}},
        AccuracyCase{"OffBin16BitStereo", 16, 44100, 1.0,
                     {{997.3, 0.8, {0.02, 0.0, 0.005}, 3e-4}, {1234.567, 0.3, {0.0, 0.03}, 1e-3}}},
        AccuracyCase{"Dithered8BitMono", 8, 48000, 1.0, {{997.0, 0.5, {0.05, 0.02}, 0.5 * 2.0 / 256}}},
        AccuracyCase{"Dithered8BitStereo", 8, 22050, 1.5,
                     {{440.25, 0.7, {0.1}, 0.004}, {3001.7, 0.4, {0.0, 0.04}, 0.004}}},
        AccuracyCase{"LowTone", 16, 48000, 1.0, {{20.37, 0.5, {0.01, 0.01}, 1e-3}}},
        AccuracyCase{"HighToneHarmonicsAboveTheBand", 16, 48000, 1.0, {{7013.0, 0.5, {0.03, 0.02, 0.01}, 1e-4}}},
        AccuracyCase{"SquareOffBin", 16, 48000, 1.0,
                     {{1234.56, 0.4, SquareHarmonics(1234.56, 48000), 1e-4}}},
        AccuracyCase{"CalibratedRange", 16, 96000, 1.0, {{5432.1, 2.0, {0.001}, 1e-3}}, 2500.0f},
        AccuracyCase{"LongRecordInBlocks", 16, 48000, 10.0, {{1000.04, 0.5, {0.01}, 1e-3}}},
        AccuracyCase{"LiveRecordOf100ms", 16, 48000, 0.1,
                     {{1000.0, 0.5, {0.01}, 1e-3}, {2500.3, 0.3, {}, 1e-3}}, 1000.0f, 0.05}),
    [](const ::testing::TestParamInfo<AccuracyCase>& info) { return std::string(info.param.name); });

// The known references: harmonics 2–4 at 0.1, 0.05, 0.02, and a sine clipped at ±0.7 with 48
// samples a period (odd harmonics only, THD over 2…10).
TEST(Measurement, ReadsTheReferenceThdValues) {
    ToneMeter meter;
    const RecordMeasurement reference =
        meter.measure(ToneRecord(16, 48000, 1.0, {{1000.0, 0.8, {0.1, 0.05, 0.02}}}), {});
    EXPECT_NEAR(reference.a.thdPercent / 100.0, 0.1135782, 1e-4);
    EXPECT_NEAR(reference.a.thd, -18.894, 0.01);

    std::vector<double> clipped(48000);
    for (std::size_t i = 0; i < clipped.size(); ++i) clipped[i] = std::clamp(std::sin(2.0 * M_PI * i / 48.0), -0.7, 0.7);
    const ChannelMeasurement clip = meter.measure(clipped, 48000.0, {});
    EXPECT_NEAR(clip.thdPercent / 100.0, 0.1379448, 1e-6);
    EXPECT_NEAR(clip.frequency, 1000.0, 1e-6);
    EXPECT_NEAR(clip.harmonicLevels[1], 0.0, 1e-9);  // a symmetric clip has no even harmonics
}

// Which tone is the fundamental: the strongest in the band, the one given, a band that leaves
// the stronger out; the clock correction scales the frequency only.
TEST(Measurement, FundamentalFollowsBandGivenFrequencyAndClock) {
    const auto twoTones = [](std::size_t i) {
        return 0.5 * std::sin(2.0 * M_PI * 1000.0 * i / 48000.0) + 0.1 * std::sin(2.0 * M_PI * 3300.0 * i / 48000.0);
    };
    const SignalRecord record = testing::WaveRecord(16, 48000, 48000, {twoTones}, {0.0});
    ToneMeter meter;
    struct Row {
        MeasurementSettings settings;
        double frequency, level;
    };
    for (const Row& row : {Row{{}, 1000.0, 0.5}, Row{{.fundamental = 3301.0}, 3300.0, 0.1},
                           Row{{.bandLow = 2000.0}, 3300.0, 0.1}, Row{{.clockPpm = 250.0}, 1000.25, 0.5}}) {
        const ChannelMeasurement m = meter.measure(record, row.settings).a;
        ASSERT_EQ(m.status, MeasurementStatus::Measured);
        EXPECT_NEAR(m.frequency, row.frequency, 1e-4);
        EXPECT_NEAR(m.level, row.level / std::sqrt(2.0), 1e-4);
    }
}

TEST(Measurement, RecordsWithNothingToMeasureSaySo) {
    ToneMeter meter;
    const auto status = [&](const SignalRecord& record, MeasurementSettings settings = {}) {
        return meter.measure(record, settings).a.status;
    };
    EXPECT_EQ(status(ToneRecord(8, 48000, 1.0, {{1000.0, 0.0, {}}})), MeasurementStatus::Silent);
    EXPECT_EQ(status(ToneRecord(16, 48000, 0.001, {{1000.0, 0.5, {}}})), MeasurementStatus::TooShort);
    EXPECT_EQ(status(ToneRecord(16, 48000, 0.01, {{100.0, 0.5, {}}})), MeasurementStatus::TooShort);
    EXPECT_EQ(status(ToneRecord(16, 8000, 1.0, {{1000.0, 0.5, {}}}), {.bandLow = 5000.0}), MeasurementStatus::NoBand);
    EXPECT_FALSE(MeasurementStatusText(MeasurementStatus::Silent).empty());
}

}  // namespace
}  // namespace tonewell

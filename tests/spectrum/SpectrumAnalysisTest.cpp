#include "spectrum/SpectrumAnalysis.h"

#include "shared/DocumentNumbers.h"
#include "platform/RecordingShell.h"
#include "spectrum/ReferenceFft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace tonewell {
namespace {

// A 16-bit record of ±2 V: 16384 codes per volt around the zero code 32768, at 44100 Hz.
constexpr std::int32_t kZero = 32768;
const float kVoltsPerCode = static_cast<float>(VoltsPerCode(2000, -2000, 9, 16));
const double kInterval = IntervalSeconds(22675, 3);
const double kTwoPi = 8.0 * std::atan(1.0);

std::vector<std::uint16_t> codesOf(int count, const std::function<double(int)>& volts) {
    std::vector<std::uint16_t> codes(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        codes[static_cast<std::size_t>(i)] =
            static_cast<std::uint16_t>(std::lround(volts(i) * 16384.0) + kZero);
    return codes;
}

std::vector<std::uint16_t> noiseCodes(int count, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> normal(0.0, 0.3);
    return codesOf(count, [&](int) { return normal(random); });
}

SpectrumInput inputOf(const std::vector<std::uint16_t>& a, const std::vector<std::uint16_t>& b,
                      std::uint32_t count) {
    SpectrumInput input;
    input.a = {a, kZero, kVoltsPerCode, 0};
    input.b = {b, kZero, kVoltsPerCode, 0};
    input.sampleCount = count;
    input.interval = kInterval;
    return input;
}

struct Analyser {
    RecordingShell shell;
    SpectrumAnalysis analysis{shell};
    Analyser(int n, SpectrumType type, WindowType window = WindowType::Rectangular) {
        EXPECT_TRUE(analysis.setFftSize(n));
        analysis.setSpectrumType(type);
        analysis.setWindowType(window);
    }
    void update(const SpectrumInput& input, bool showA = true, bool showB = false,
                bool removeDc = false) {
        analysis.spectrumDirty = true;
        analysis.UpdateSpectra(input, showA, showB, removeDc);
    }
    std::vector<float> resultA() const {
        auto r = analysis.resultA();
        return {r.begin(), r.begin() + analysis.pointCount()};
    }
};

bool allFinite(std::span<const float> values) {
    for (float v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

// The segmented amplitude spectrum written out plainly, sample by sample, for comparison.
std::vector<float> plainAmplitudeSpectrum(const std::vector<std::uint16_t>& codes, int n,
                                          WindowType window) {
    const int blocks = static_cast<int>(codes.size()) / n;
    std::vector<float> sum(static_cast<std::size_t>(n / 2 + 1), 0.0f);
    for (int s = 0; s < blocks; ++s) {
        std::vector<float> re(static_cast<std::size_t>(n)), im(static_cast<std::size_t>(n));
        float powerSum = 0.0f;
        for (int i = 0; i < n; ++i) {
            float x = static_cast<float>(codes[static_cast<std::size_t>(s * n + i)] - kZero) *
                      kVoltsPerCode;
            const float w = WindowValue(window, i, n, n);
            x = x * w;
            powerSum += w * w;
            re[static_cast<std::size_t>(i)] = x;
        }
        reference::realFft(re.data(), im.data(), n);
        const double g = std::sqrt(static_cast<double>(powerSum) / n);
        for (int k = 0; k <= n / 2; ++k) {
            const float p = re[k] * re[k] + im[k] * im[k];
            const double a = (k == 0 || k == n / 2) ? std::sqrt(static_cast<double>(p))
                                                    : std::sqrt(2.0 * p);
            sum[static_cast<std::size_t>(k)] += static_cast<float>(a / n / g);
        }
    }
    const float inverseK = 1.0f / static_cast<float>(blocks);
    for (float& v : sum) v = v * inverseK;
    return sum;
}

TEST(SpectrumAnalysis, SegmentedAmplitudeSpectrumUsesFourBlocksIgnoresTheTailAndMatchesThePlainSum) {
    std::vector<std::uint16_t> codes = noiseCodes(5000, 1);
    Analyser subject(1024, SpectrumType::Amplitude, WindowType::Hanning);
    subject.update(inputOf(codes, {}, 5000));
    const std::vector<float> got = subject.resultA();

    const std::vector<float> plain = plainAmplitudeSpectrum(
        std::vector<std::uint16_t>(codes.begin(), codes.begin() + 4096), 1024, WindowType::Hanning);
    ASSERT_EQ(got.size(), plain.size());
    EXPECT_EQ(std::memcmp(got.data(), plain.data(), got.size() * sizeof(float)), 0);

    // The last 904 samples do not take part.
    for (std::size_t i = 4096; i < codes.size(); ++i) codes[i] = 65535;
    subject.update(inputOf(codes, {}, 5000));
    EXPECT_EQ(subject.resultA(), got);
}

TEST(SpectrumAnalysis, SineOnABinReadsItsRmsValueAndDcReadsItsLevel) {
    const int n = 1024;
    Analyser subject(n, SpectrumType::Amplitude);
    const auto sine = codesOf(4 * n, [](int i) { return std::sin(kTwoPi * 10 * i / 1024); });
    subject.update(inputOf(sine, {}, 4 * n));
    EXPECT_NEAR(subject.resultA()[10], 0.70711f, 1e-4f);
    EXPECT_NEAR(subject.resultA()[9], 0.0f, 1e-4f);
    EXPECT_NEAR(subject.analysis.peakPositionA(), 10.0 / n / kInterval, 1e-2);
    EXPECT_FLOAT_EQ(subject.analysis.peakValueA(), subject.resultA()[10]);

    const auto dc = codesOf(4 * n, [](int) { return 0.5; });
    SpectrumInput input = inputOf(dc, {}, 4 * n);
    subject.update(input);
    EXPECT_FLOAT_EQ(subject.resultA()[0], 0.5f);
    input.a.dcOffsetCodes = 8192;  // what the statistics find for this record
    subject.update(input, true, false, false);
    EXPECT_FLOAT_EQ(subject.resultA()[0], 0.5f) << "the offset only counts when removal is on";
    subject.update(input, true, false, true);
    EXPECT_NEAR(subject.resultA()[0], 0.0f, 1e-6f);
}

TEST(SpectrumAnalysis, ShortRecordIsOneZeroPaddedBlockWithItsGainCorrection) {
    Analyser subject(1024, SpectrumType::Amplitude);
    const auto dc = codesOf(700, [](int) { return 0.5; });
    subject.update(inputOf(dc, {}, 700));
    // X[0] = 700 · 0.5, divided by N and by sqrt(700/1024).
    EXPECT_NEAR(subject.resultA()[0], 350.0 / 1024.0 / std::sqrt(700.0 / 1024.0), 1e-6);
}

TEST(SpectrumAnalysis, PhaseOfCosineAndSine) {
    const int n = 256;
    Analyser subject(n, SpectrumType::Phase);
    const auto cosine = codesOf(n, [](int i) { return 0.8 * std::cos(kTwoPi * 8 * i / 256); });
    subject.update(inputOf(cosine, {}, n));
    EXPECT_NEAR(subject.resultA()[8], 0.0f, 0.05f);
    const auto sine = codesOf(n, [](int i) { return 0.8 * std::sin(kTwoPi * 8 * i / 256); });
    subject.update(inputOf(sine, {}, n));
    EXPECT_NEAR(subject.resultA()[8], -90.0f, 0.05f);

    // Only the first block counts when the record holds several.
    auto twoBlocks = sine;
    twoBlocks.insert(twoBlocks.end(), cosine.begin(), cosine.end());
    subject.update(inputOf(twoBlocks, {}, 2 * n));
    EXPECT_NEAR(subject.resultA()[8], -90.0f, 0.05f);
}

TEST(SpectrumAnalysis, AutoCorrelationOfNineHalfBlocksIsOneAtZeroLagAndMirrored) {
    std::vector<std::uint16_t> codes = noiseCodes(5000, 2);
    Analyser subject(1024, SpectrumType::AutoCorrelation);
    EXPECT_EQ(subject.analysis.pointCount(), 1023);
    subject.update(inputOf(codes, {}, 5000));
    const std::vector<float> got = subject.resultA();
    EXPECT_FLOAT_EQ(got[511], 1.0f);
    for (int m = 1; m < 512; ++m) ASSERT_EQ(got[511 - m], got[511 + m]) << "lag " << m;
    for (int m = 1; m < 512; ++m) ASSERT_LT(std::fabs(got[511 + m]), 0.5f);
    EXPECT_FLOAT_EQ(subject.analysis.peakValueA(), 1.0f);
    EXPECT_FLOAT_EQ(subject.analysis.peakPositionA(), 0.0f);

    // Blocks of 512: 9 blocks use 4608 samples, the rest is ignored.
    for (std::size_t i = 4608; i < codes.size(); ++i) codes[i] = 0;
    subject.update(inputOf(codes, {}, 5000));
    EXPECT_EQ(subject.resultA(), got);
    codes[4607] = 0;
    subject.update(inputOf(codes, {}, 5000));
    EXPECT_NE(subject.resultA(), got);
}

TEST(SpectrumAnalysis, AutoCorrelationMatchesTheDirectSumOfOneBlock) {
    const int n = 64;
    const auto codes = noiseCodes(n / 2, 3);
    Analyser subject(n, SpectrumType::AutoCorrelation);
    subject.update(inputOf(codes, {}, n / 2));
    std::vector<double> x(codes.size());
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = (codes[i] - kZero) * double(kVoltsPerCode);
    double r0 = 0.0;
    for (double v : x) r0 += v * v;
    for (int m = 0; m < n / 2; ++m) {
        double r = 0.0;
        for (std::size_t t = 0; t + m < x.size(); ++t) r += x[t] * x[t + m];
        EXPECT_NEAR(subject.resultA()[n / 2 - 1 + m], r / r0, 1e-5) << "lag " << m;
    }
}

TEST(SpectrumAnalysis, CrossCorrelationFindsTheDelayOfChannelB) {
    const int n = 1024, count = 4096;
    const auto a = noiseCodes(count + 3, 4);
    const std::vector<std::uint16_t> delayedA(a.begin() + 3, a.end());  // A leads by 3
    std::vector<std::uint16_t> b(a.begin(), a.begin() + count);           // B = A delayed by 3
    Analyser subject(n, SpectrumType::CrossCorrelation);
    subject.update(inputOf(delayedA, b, count), true, true);
    const std::vector<float> got = subject.resultA();
    int best = 0;
    for (int i = 0; i < n - 1; ++i)
        if (got[i] > got[best]) best = i;
    EXPECT_EQ(best, n / 2 - 1 + 3);
    EXPECT_GT(got[best], 0.9f);
    EXPECT_FLOAT_EQ(subject.analysis.peakPositionA(), static_cast<float>(3 * kInterval));
    EXPECT_EQ(subject.analysis.peakValueA(), got[best]);
}

TEST(SpectrumAnalysis, PeakOfChannelAKeepsTheSignOfTheLargestMagnitudeAndChannelBTakesTheLargest) {
    const int n = 256;
    const auto a = noiseCodes(n, 5);
    const auto minusA = codesOf(n, [&](int i) { return -(a[i] - kZero) / 16384.0; });
    Analyser subject(n, SpectrumType::CrossCorrelation);
    subject.update(inputOf(a, minusA, n), true, true);
    EXPECT_NEAR(subject.analysis.peakValueA(), -1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(subject.analysis.peakPositionA(), 0.0f);

    // Channel B's peak is its largest value, placed as a frequency.
    Analyser amplitude(n, SpectrumType::Amplitude);
    const auto tone = codesOf(n, [](int i) { return 0.25 * std::cos(kTwoPi * 20 * i / 256); });
    amplitude.update(inputOf(tone, tone, n), false, true);
    EXPECT_NEAR(amplitude.analysis.peakValueB(), 0.25f / std::sqrt(2.0f), 1e-4f);
    EXPECT_NEAR(amplitude.analysis.peakPositionB(), 20.0 / n / kInterval, 1e-2);
    EXPECT_EQ(amplitude.analysis.peakValueA(), 0.0f) << "channel A was not shown";
}

TEST(SpectrumAnalysis, RecomputesOnlyWhenDirtyAndLeavesHiddenChannelsAlone) {
    const int n = 256;
    Analyser subject(n, SpectrumType::Amplitude);
    const auto one = codesOf(n, [](int) { return 0.5; });
    const auto two = codesOf(n, [](int) { return 0.25; });
    subject.update(inputOf(one, one, n), true, true);
    EXPECT_FALSE(subject.analysis.spectrumDirty);
    EXPECT_FLOAT_EQ(subject.analysis.resultB()[0], 0.5f);

    subject.analysis.UpdateSpectra(inputOf(two, two, n), true, true, false);  // not dirty
    EXPECT_FLOAT_EQ(subject.resultA()[0], 0.5f);

    subject.update(inputOf(two, two, n), true, false);  // B's range is Off
    EXPECT_FLOAT_EQ(subject.resultA()[0], 0.25f);
    EXPECT_FLOAT_EQ(subject.analysis.resultB()[0], 0.5f);

    subject.update(inputOf(one, one, 0), true, true);  // empty record
    EXPECT_FLOAT_EQ(subject.resultA()[0], 0.25f);
    EXPECT_FALSE(subject.analysis.spectrumDirty);

    // A channel array shorter than the record is not read.
    const std::vector<std::uint16_t> stub(1, 0);
    subject.update(inputOf(one, stub, n), true, true);
    EXPECT_FLOAT_EQ(subject.analysis.resultB()[0], 0.5f);
}

TEST(SpectrumAnalysis, SettingsChangesMarkTheResultsDirtyAndBadSizesAreRefused) {
    RecordingShell shell;
    SpectrumAnalysis analysis(shell);
    EXPECT_FALSE(analysis.ready());
    EXPECT_EQ(analysis.pointCount(), 0);
    analysis.spectrumDirty = false;
    EXPECT_FALSE(analysis.setFftSize(1000));
    EXPECT_FALSE(analysis.ready());
    EXPECT_TRUE(analysis.setFftSize(2048));
    EXPECT_EQ(analysis.resultA().size(), 2048u);
    EXPECT_EQ(analysis.pointCount(), 1025);
    EXPECT_TRUE(analysis.spectrumDirty);
    analysis.spectrumDirty = false;
    analysis.setWindowType(WindowType::Blackman);
    EXPECT_TRUE(analysis.spectrumDirty);
    analysis.spectrumDirty = false;
    analysis.setSpectrumType(SpectrumType::AutoCorrelation);
    EXPECT_TRUE(analysis.spectrumDirty);
    EXPECT_EQ(analysis.pointCount(), 2047);
    EXPECT_TRUE(shell.messages().empty());
}

// Silent blocks, all-zero windows and calibrations beyond float range: no NaN or infinity
// reaches results or peaks; undefined points show 0.
struct UndefinedCase {
    const char* name;
    SpectrumType type;
    WindowType window;
    int count;
    bool silentA, silentB;
    float voltsPerCode;
};

class UndefinedPoints : public ::testing::TestWithParam<UndefinedCase> {};

TEST_P(UndefinedPoints, ShowZeroAndNeverNanOrInfinity) {
    const UndefinedCase& c = GetParam();
    const int n = 256;
    const auto silent = codesOf(c.count, [](int) { return 0.0; });
    const auto noise = noiseCodes(c.count, 6);
    Analyser subject(n, c.type, c.window);
    SpectrumInput input = inputOf(c.silentA ? silent : noise, c.silentB ? silent : noise,
                                  static_cast<std::uint32_t>(c.count));
    input.a.voltsPerCode = input.b.voltsPerCode = c.voltsPerCode;
    subject.update(input, true, c.type != SpectrumType::CrossCorrelation);
    EXPECT_TRUE(allFinite(subject.analysis.resultA()));
    EXPECT_TRUE(allFinite(subject.analysis.resultB()));
    for (float v : {subject.analysis.peakValueA(), subject.analysis.peakPositionA(),
                    subject.analysis.peakValueB(), subject.analysis.peakPositionB()})
        EXPECT_TRUE(std::isfinite(v));
    if (c.silentA || c.voltsPerCode != kVoltsPerCode || c.count == 1) {
        for (float v : subject.resultA()) ASSERT_EQ(v, 0.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UndefinedPoints,
    ::testing::Values(
        UndefinedCase{"SilentAutoCorrelation", SpectrumType::AutoCorrelation, WindowType::Rectangular, 1000,
                      true, true, kVoltsPerCode},
        UndefinedCase{"SilentSingleBlockAutoCorrelation", SpectrumType::AutoCorrelation,
                      WindowType::Rectangular, 100, true, true, kVoltsPerCode},
        UndefinedCase{"CrossCorrelationWithSilentB", SpectrumType::CrossCorrelation, WindowType::Rectangular,
                      1000, false, true, kVoltsPerCode},
        UndefinedCase{"CrossCorrelationWithSilentA", SpectrumType::CrossCorrelation, WindowType::Rectangular,
                      1000, true, false, kVoltsPerCode},
        UndefinedCase{"HanningOverOneSample", SpectrumType::Amplitude, WindowType::Hanning, 1, false, false,
                      kVoltsPerCode},
        UndefinedCase{"SilentAmplitude", SpectrumType::Amplitude, WindowType::Blackman, 1000, true, true,
                      kVoltsPerCode},
        UndefinedCase{"SilentPhase", SpectrumType::Phase, WindowType::Rectangular, 1000, true, true,
                      kVoltsPerCode},
        UndefinedCase{"CalibrationBeyondFloat", SpectrumType::Amplitude, WindowType::Rectangular, 1000, false,
                      false, std::numeric_limits<float>::infinity()},
        UndefinedCase{"CorrelationCalibrationBeyondFloat", SpectrumType::AutoCorrelation,
                      WindowType::Rectangular, 1000, false, false, std::numeric_limits<float>::infinity()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SpectrumAnalysis, SilentBlocksAddNothingToTheAverage) {
    // One silent block of two: the average is half the sounding block's correlation.
    const int n = 256;
    auto codes = noiseCodes(256, 7);
    for (int i = 0; i < 128; ++i) codes[static_cast<std::size_t>(i)] = kZero;
    Analyser subject(n, SpectrumType::AutoCorrelation);
    subject.update(inputOf(codes, {}, 256));
    EXPECT_FLOAT_EQ(subject.resultA()[127], 0.5f);
}

SignalRecord recordOf(std::uint8_t samplingType, const std::vector<std::uint16_t>& a,
                      const std::vector<std::uint16_t>& b) {
    SignalRecord record;
    record.samplingType = samplingType;
    record.dataA = a;
    record.dataB = b;
    record.sampleCount = static_cast<std::uint32_t>(a.size());
    record.intervalMantissa = 22675;
    record.intervalExponent = 3;
    record.rangeMaxA = record.rangeMaxB = 2000;
    record.rangeMinA = record.rangeMinB = -2000;
    record.rangeExponentA = record.rangeExponentB = 9;
    record.zeroA = record.zeroB = kZero;
    return record;
}

TEST(SpectrumInputOf, TakesTheChannelsTheRecordHoldsWithTheirCalibration) {
    const auto codes = noiseCodes(64, 8);
    const DcOffsets offsets{12, -7};
    SpectrumInput input = SpectrumInputOf(recordOf(kSamplingTypeA, codes, codes), offsets);
    EXPECT_EQ(input.a.codes.size(), 64u);
    EXPECT_TRUE(input.b.codes.empty()) << "an A-only record has no channel B";
    EXPECT_EQ(input.a.voltsPerCode, kVoltsPerCode);
    EXPECT_EQ(input.a.zero, kZero);
    EXPECT_EQ(input.a.dcOffsetCodes, 12);
    EXPECT_EQ(input.b.dcOffsetCodes, -7);
    EXPECT_EQ(input.interval, kInterval);
    EXPECT_EQ(input.sampleCount, 64u);
    input = SpectrumInputOf(recordOf(kSamplingTypeB, codes, codes), offsets);
    EXPECT_TRUE(input.a.codes.empty());
    EXPECT_EQ(input.b.codes.size(), 64u);
    input = SpectrumInputOf(recordOf(kSamplingTypeAB, codes, codes), offsets);
    EXPECT_EQ(input.a.codes.size(), 64u);
    EXPECT_EQ(input.b.codes.size(), 64u);
}

TEST(SpectrumAnalysis, DcRemovalUsesTheOffsetsTheStatisticsFound) {
    const int n = 1024;
    const auto tone = codesOf(4 * n, [](int i) { return 0.3 + 0.5 * std::cos(kTwoPi * 16 * i / 1024); });
    SignalRecord record = recordOf(kSamplingTypeA, tone, tone);
    DcOffsets offsets;
    ComputeStatistics(record, kScopeTypeSeparate, offsets);
    EXPECT_NEAR(offsets.dcOffsetCodesA, 4915, 1);  // 0.3 V in codes
    Analyser subject(n, SpectrumType::Amplitude);
    subject.analysis.UpdateSpectra(record, offsets, true, false, false);
    EXPECT_NEAR(subject.resultA()[0], 0.3f, 1e-4f);
    EXPECT_NEAR(subject.resultA()[16], 0.5f / std::sqrt(2.0f), 1e-4f);
    subject.analysis.spectrumDirty = true;
    subject.analysis.UpdateSpectra(record, offsets, true, false, true);
    EXPECT_NEAR(subject.resultA()[0], 0.0f, 1e-4f);
    EXPECT_NEAR(subject.resultA()[16], 0.5f / std::sqrt(2.0f), 1e-4f);
}

}  // namespace
}  // namespace tonewell

#include "spectrum/Fft.h"
#include "spectrum/Window.h"

#include "platform/RecordingShell.h"
#include "platform/ReportOutOfMemory.h"
#include "spectrum/ReferenceFft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <sys/resource.h>
#include <tuple>

namespace tonewell {
namespace {

std::vector<float> randomSamples(int n, unsigned seed, float scale = 1.0f) {
    std::mt19937 random(seed);
    std::normal_distribution<float> normal(0.0f, scale);
    std::vector<float> x(static_cast<std::size_t>(n));
    for (float& v : x) v = normal(random);
    return x;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

std::vector<std::complex<double>> asComplex(const std::vector<float>& re,
                                            const std::vector<float>& im) {
    std::vector<std::complex<double>> x(re.size());
    for (std::size_t i = 0; i < re.size(); ++i) x[i] = {re[i], im.empty() ? 0.0 : im[i]};
    return x;
}

class FftSizes : public ::testing::TestWithParam<int> {};

TEST_P(FftSizes, RealFftGivesTheBitsOfThePrescribedArithmetic) {
    const int n = GetParam();
    RecordingShell shell;
    RealFftPlan plan;
    ASSERT_TRUE(plan.prepare(n));
    for (unsigned seed : {1u, 2u}) {
        std::vector<float> x = randomSamples(n, seed, seed == 1 ? 1.0f : 3.0e-3f);
        if (seed == 2) x[1] = -0.0f;  // signed zeros must come out as the recurrence makes them
        std::vector<float> re = x, im(x.size(), 123.0f);
        std::vector<float> wantRe = x, wantIm(x.size(), 0.0f);
        ASSERT_EQ(RealFft(plan, re.data(), im.data(), 0, shell), 0);
        reference::realFft(wantRe.data(), wantIm.data(), n);
        EXPECT_TRUE(sameBits(re, wantRe));
        EXPECT_TRUE(sameBits(im, wantIm));

        // The planless call builds the same tables.
        std::vector<float> re2 = x, im2(x.size());
        ASSERT_EQ(RealFft(re2.data(), im2.data(), n, 0, shell), 0);
        EXPECT_TRUE(sameBits(re2, wantRe));
        EXPECT_TRUE(sameBits(im2, wantIm));
    }
    EXPECT_TRUE(shell.messages().empty());
}

TEST_P(FftSizes, ComplexFftGivesTheBitsOfThePrescribedArithmeticBothWays) {
    const int n = GetParam();
    ComplexFftPlan plan;
    ASSERT_TRUE(plan.prepare(n));
    for (int inverse : {0, 1}) {
        std::vector<float> re = randomSamples(n, 10), im = randomSamples(n, 11);
        std::vector<float> wantRe = re, wantIm = im;
        plan.transform(re.data(), im.data(), inverse);
        reference::complexFft(wantRe.data(), wantIm.data(), n, inverse);
        EXPECT_TRUE(sameBits(re, wantRe)) << "inverse " << inverse;
        EXPECT_TRUE(sameBits(im, wantIm)) << "inverse " << inverse;
    }
}

INSTANTIATE_TEST_SUITE_P(PowersOfTwo, FftSizes,
                         ::testing::Values(4, 8, 16, 32, 64, 128, 256, 1024, 4096, 32768));

// The baseline width gives the same bits as the widest on every size, through every pass: the
// short transforms, one row, rows with gaps, the odd stage of a row. The second input is a
// silent block of zeros of either sign: its results are zeros whose signs (and so the phases
// shown for it) change if a multiplication by 1 or 0 is skipped or an addition reordered.
class FftWidths : public ::testing::TestWithParam<std::tuple<int, FftIsa>> {};

TEST_P(FftWidths, EveryWidthGivesThePrescribedBits) {
    const auto [n, isa] = GetParam();
    if (isa == FftIsa::Avx2 && BestFftIsa() != FftIsa::Avx2) GTEST_SKIP() << "no AVX2 here";
    RecordingShell shell;
    RealFftPlan real;
    ComplexFftPlan complex;
    ASSERT_TRUE(real.prepare(n, isa));
    ASSERT_TRUE(complex.prepare(n, isa));
    std::mt19937 random(23);
    std::vector<float> zeros(static_cast<std::size_t>(n));
    for (float& v : zeros) v = random() % 2 == 0 ? 0.0f : -0.0f;
    for (const std::vector<float>& x : {randomSamples(n, 21), zeros}) {
        std::vector<float> re = x, im(x.size()), wantRe = x, wantIm(x.size());
        RealFft(real, re.data(), im.data(), 0, shell);
        reference::realFft(wantRe.data(), wantIm.data(), n);
        EXPECT_TRUE(sameBits(re, wantRe) && sameBits(im, wantIm)) << "real";
        for (int inverse : {0, 1}) {
            re = x, im = zeros, wantRe = re, wantIm = im;
            complex.transform(re.data(), im.data(), inverse);
            reference::complexFft(wantRe.data(), wantIm.data(), n, inverse);
            EXPECT_TRUE(sameBits(re, wantRe) && sameBits(im, wantIm)) << "inverse " << inverse;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PowersOfTwo, FftWidths,
                         ::testing::Combine(::testing::Values(32, 128, 2048, 8192, 16384, 65536),
                                            ::testing::Values(FftIsa::Sse2, FftIsa::Avx2)),
                         [](const auto& info) {
                             return std::to_string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) == FftIsa::Avx2 ? "Avx2" : "Sse2");
                         });

class SmallFftSizes : public ::testing::TestWithParam<int> {};

TEST_P(SmallFftSizes, RealFftMatchesTheDirectDft) {
    const int n = GetParam();
    RecordingShell shell;
    std::vector<float> re = randomSamples(n, 5), im(static_cast<std::size_t>(n));
    const auto want = reference::dft(asComplex(re, {}));
    ASSERT_EQ(RealFft(re.data(), im.data(), n, 0, shell), 0);
    const double tolerance = 2e-6 * std::sqrt(static_cast<double>(n)) * std::log2(n);
    for (int k = 0; k < n; ++k) {
        EXPECT_NEAR(re[k], want[k].real(), tolerance) << "k " << k;
        EXPECT_NEAR(im[k], want[k].imag(), tolerance) << "k " << k;
    }
}

TEST_P(SmallFftSizes, ComplexFftMatchesTheDirectDftAndInvertsItself) {
    const int n = GetParam();
    const std::vector<float> x = randomSamples(n, 6), y = randomSamples(n, 7);
    std::vector<float> re = x, im = y;
    ASSERT_EQ(ComplexFft(re.data(), im.data(), n, 0), 0);
    const auto want = reference::dft(asComplex(x, y));
    const double tolerance = 2e-6 * std::sqrt(static_cast<double>(n)) * std::log2(n);
    for (int k = 0; k < n; ++k) {
        EXPECT_NEAR(re[k], want[k].real(), tolerance);
        EXPECT_NEAR(im[k], want[k].imag(), tolerance);
    }
    ASSERT_EQ(ComplexFft(re.data(), im.data(), n, 1), 0);
    for (int k = 0; k < n; ++k) {
        EXPECT_NEAR(re[k], x[k], 5e-5f);
        EXPECT_NEAR(im[k], y[k], 5e-5f);
    }
}

TEST_P(SmallFftSizes, DcAndIntegerPeriodCosinesLandOnTheirBins) {
    const int n = GetParam();
    RecordingShell shell;
    const float c = 0.75f;
    std::vector<float> re(static_cast<std::size_t>(n), c), im(static_cast<std::size_t>(n));
    RealFft(re.data(), im.data(), n, 0, shell);
    EXPECT_NEAR(re[0], n * c, 1e-5 * n);
    for (int k = 1; k < n; ++k) EXPECT_NEAR(std::hypot(re[k], im[k]), 0.0, 1e-5 * n);

    const int k0 = n / 4 - 1 > 0 ? n / 4 - 1 : 1;
    const float amplitude = 2.0f;
    const double twoPi = 8.0 * std::atan(1.0);
    for (int t = 0; t < n; ++t)
        re[t] = static_cast<float>(amplitude * std::cos(twoPi * k0 * t / n));
    RealFft(re.data(), im.data(), n, 0, shell);
    for (int k = 0; k < n; ++k) {
        const double expected = k == k0 || k == n - k0 ? amplitude * n / 2.0 : 0.0;
        EXPECT_NEAR(std::hypot(re[k], im[k]), expected, 1e-5 * n) << "k " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(UpTo1024, SmallFftSizes, ::testing::Values(4, 8, 32, 128, 1024));

TEST(RealFft, RefusesTheInverseWithItsMessageAndLeavesTheArraysAlone) {
    RecordingShell shell;
    std::vector<float> re = randomSamples(64, 3), im = randomSamples(64, 4);
    const std::vector<float> keptRe = re, keptIm = im;
    EXPECT_EQ(RealFft(re.data(), im.data(), 64, 1, shell), 0);
    EXPECT_TRUE(sameBits(re, keptRe));
    EXPECT_TRUE(sameBits(im, keptIm));
    ASSERT_EQ(shell.messages().size(), 1u);
    EXPECT_EQ(shell.messages()[0], "IFFT can not be handled.");
    EXPECT_TRUE(shell.postedCommands().empty());
}

TEST(RealFft, SizesThatAreNoPowerOfTwoAreRefusedWithoutTouchingAnything) {
    RecordingShell shell;
    std::vector<float> re(12, 1.0f), im(12, 2.0f);
    EXPECT_EQ(RealFft(re.data(), im.data(), 12, 0, shell), -1);
    EXPECT_EQ(RealFft(re.data(), im.data(), 2, 0, shell), -1);
    EXPECT_EQ(ComplexFft(re.data(), im.data(), 12, 0), -1);
    EXPECT_EQ(re, std::vector<float>(12, 1.0f));
    EXPECT_EQ(im, std::vector<float>(12, 2.0f));
    EXPECT_TRUE(shell.messages().empty());
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TONEWELL_NO_ADDRESS_LIMIT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TONEWELL_NO_ADDRESS_LIMIT 1
#endif
#endif

// In a process with little address space, a transform of 2^26 points cannot get its work
// memory; re and im are never read because the allocation fails first.
[[maybe_unused]] bool transformWithLittleMemory() {
    const int n = 1 << 26;
    std::vector<float> re(4, 1.0f), im(4, 2.0f);
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = 256u << 20;
    setrlimit(RLIMIT_AS, &limit);
    RecordingShell shell;
    const int result = RealFft(re.data(), im.data(), n, 0, shell);
    return result == -1 && shell.messages().size() == 1 &&
           shell.messages()[0] == kOutOfMemoryMessage &&
           shell.postedCommands() == std::vector<int>{kCommandFileClose} &&
           re == std::vector<float>(4, 1.0f) && im == std::vector<float>(4, 2.0f);
}

TEST(RealFftDeathTest, RunningOutOfMemoryReportsItPostsFileCloseAndKeepsTheOutput) {
#ifdef TONEWELL_NO_ADDRESS_LIMIT
    GTEST_SKIP() << "sanitizers reserve more address space than the limit leaves";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::_Exit(transformWithLittleMemory() ? 0 : 1), ::testing::ExitedWithCode(0), "");
#endif
}

TEST(Windows, TriangleEndsAndPeak) {
    const int length = 1000;
    EXPECT_EQ(WindowValue(WindowType::Triangular, 0, length, length), 0.0f);
    EXPECT_EQ(WindowValue(WindowType::Triangular, length / 2, length, length), 1.0f);
    EXPECT_EQ(WindowValue(WindowType::Triangular, length - 1, length, length),
              static_cast<float>(1.0 - static_cast<double>(499.0f / 500.0f)));
    EXPECT_EQ(WindowValue(WindowType::Triangular, 0, 1, 1), 1.0f) << "a one-sample block is the peak";
}

TEST(Windows, CosineWindowsAtTheirEndsAndMiddle) {
    const int period = 1024;
    EXPECT_EQ(WindowValue(WindowType::Hanning, 0, period, period), 0.0f);
    EXPECT_NEAR(WindowValue(WindowType::Blackman, 0, period, period), 0.0f, 1e-7f);
    EXPECT_FLOAT_EQ(WindowValue(WindowType::Hamming, 0, period, period), 0.08f);
    EXPECT_FLOAT_EQ(WindowValue(WindowType::Hanning, period / 2, period, period), 1.0f);
    EXPECT_FLOAT_EQ(WindowValue(WindowType::Hamming, period / 2, period, period), 1.0f);
    EXPECT_FLOAT_EQ(WindowValue(WindowType::Blackman, period / 2, period, period), 1.0f);
    // Periodic: the weight after the last sample would be the first one again.
    EXPECT_NEAR(WindowValue(WindowType::Hanning, period - 1, period, period),
                WindowValue(WindowType::Hanning, 1, period, period), 1e-6f);
    EXPECT_EQ(WindowValue(WindowType::Rectangular, 17, period, period), 1.0f);
}

TEST(Windows, PowerSumAndGainCorrection) {
    EXPECT_EQ(GainCorrection(WindowType::Rectangular, 0.0f, 4096, 4096, true), 1.0);
    EXPECT_EQ(GainCorrection(WindowType::Rectangular, 0.0f, 1000, 4096, false), std::sqrt(1000.0 / 4096.0));

    WindowTable table;
    ASSERT_TRUE(table.prepare(WindowType::Hanning, 1024, 1024, 1024));
    float sum = 0.0f;
    for (int i = 0; i < 1024; ++i) {
        const float w = WindowValue(WindowType::Hanning, i, 1024, 1024);
        EXPECT_EQ(table.weights[static_cast<std::size_t>(i)], w);
        sum += w * w;
    }
    EXPECT_EQ(table.powerSum, sum);
    EXPECT_NEAR(table.powerSum, 1024 * 0.375, 1e-2);  // Σ sin⁴ over a period = 3N/8
    EXPECT_EQ(GainCorrection(WindowType::Hanning, table.powerSum, 1024, 1024, true),
              std::sqrt(static_cast<double>(sum) / 1024));

    ASSERT_TRUE(table.prepare(WindowType::Rectangular, 1024, 1024, 1024));
    EXPECT_TRUE(table.weights.empty());
    EXPECT_EQ(table.powerSum, 0.0f);
}

}  // namespace
}  // namespace tonewell

// The double-precision real transforms against a direct DFT, and the round trip; at half a
// million points a tone still comes out exact to 1e-9, where the recurrence's twiddles drift.

#include "response/PreciseRealFft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

namespace tonewell {
namespace {

using Complex = std::complex<double>;

class PreciseRealFftSizes : public ::testing::TestWithParam<std::size_t> {};

TEST_P(PreciseRealFftSizes, MatchesTheDirectTransformAndInvertsIt) {
    const std::size_t n = GetParam();
    std::vector<double> x(n), back(n);
    std::mt19937 random(static_cast<unsigned>(n));
    std::normal_distribution<double> normal;
    for (double& v : x) v = normal(random);
    PreciseRealFft transform;
    ASSERT_TRUE(transform.prepare(n));
    std::vector<Complex> bins(n / 2 + 1);
    transform.forward(x.data(), bins.data());
    for (std::size_t k = 0; k <= n / 2; ++k) {
        Complex direct;
        for (std::size_t t = 0; t < n; ++t)
            direct += x[t] * std::polar(1.0, -2 * std::numbers::pi * static_cast<double>((k * t) % n) / n);
        EXPECT_NEAR(std::abs(bins[k] - direct), 0.0, 1e-11) << "bin " << k;
    }
    transform.inverse(bins.data(), back.data());
    for (std::size_t t = 0; t < n; ++t) EXPECT_NEAR(back[t], x[t], 1e-13);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PreciseRealFftSizes, ::testing::Values(4, 8, 16, 64, 512));

TEST(PreciseRealFft, ToneOfHalfAMillionPointsLandsInOneBinExactly) {
    const std::size_t n = std::size_t{1} << 19, k0 = 123457;
    std::vector<double> x(n);
    for (std::size_t t = 0; t < n; ++t) x[t] = std::cos(2 * std::numbers::pi * static_cast<double>((k0 * t) % n) / n);
    PreciseRealFft transform;
    ASSERT_TRUE(transform.prepare(n));
    std::vector<Complex> bins(n / 2 + 1);
    transform.forward(x.data(), bins.data());
    double leak = 0;
    for (std::size_t k = 0; k <= n / 2; ++k) leak = std::max(leak, std::abs(bins[k]) - (k == k0 ? n / 2.0 : 0.0));
    EXPECT_LT(std::fabs(std::abs(bins[k0]) / (n / 2.0) - 1.0), 1e-9);
    EXPECT_LT(leak, 1e-9 * n);
}

}  // namespace
}  // namespace tonewell

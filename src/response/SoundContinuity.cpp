#include "response/SoundContinuity.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace tonewell {

namespace {

using Complex = std::complex<double>;

// The unexplained sound is summed over blocks of at most 20 ms (less for short sweeps), half a
// block apart. A block is compared with the stretches on either side of it that begin a
// twentieth of the sweep away and last a tenth: far enough that the block's own burst (a jump
// leaves a few tens of ms of it, more at low frequencies) stays out of them, near enough that
// what changes slowly along the sweep (distortion rising towards the bass, the band's edges, a
// filter's ringing) is much the same on one side at least.
constexpr double kLongestBlock = 0.02;
constexpr double kGapShare = 0.05;
// A burst: a block with a hundred times (20 dB) the unexplained energy of the typical block on
// each side, and at least 1e-5 (-50 dB) of the recording's energy in that block, below which a
// burst moves the response by less than a tenth of a dB. Steady noise, distortion and
// reverberation stay within a few dB of their neighbours; a jump in the sound stands 50 to 80 dB
// above a clean recording's remainder and still 20 to 40 dB above noise 60 dB down.
constexpr double kBurst = 100.0;
constexpr double kAudible = 1e-5;
// Sound missing for longer than the stretches compared: a block where the response explains
// less than half of what came in, while the quietest tenth of the blocks leaves a hundred times
// less unexplained.
constexpr double kMostlyUnexplained = 0.5;
constexpr double kAboveQuietest = 100.0;

// Bands of the impulse response: two octaves wide (a Hann window over fc/2 .. 2fc), half an
// octave apart. A band arrives away when its envelope near the main peak stays 20 dB below its
// own maximum, that maximum standing 20 dB above the band's mean (an answer, not noise). Near:
// within three periods of fc or 1 ms, which covers the delay of any usual filter, crossover or
// loudspeaker in that band.
constexpr double kBandStandsOut = 100.0;
constexpr double kNothingNear = 0.01;
constexpr double kNearPeriods = 3.0;
constexpr double kNearSeconds = 0.001;

double MedianOf(std::vector<double>& values) {
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

std::size_t PowerOfTwoAtLeast(std::size_t n) {
    std::size_t p = 1;
    while (p < n) p *= 2;
    return p;
}

// In-place inverse complex transform (unscaled) of a power-of-two length n <= 2·roots.size(),
// roots[k] = e^(j2πk/(2·roots.size())).
void InverseTransform(std::vector<Complex>& a, const std::vector<Complex>& roots) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    const std::size_t full = 2 * roots.size();
    for (std::size_t length = 2; length <= n; length *= 2) {
        const std::size_t half = length / 2, stride = full / length;
        for (std::size_t start = 0; start < n; start += length)
            for (std::size_t k = 0; k < half; ++k) {
                const Complex u = a[start + k], v = a[start + k + half] * roots[k * stride];
                a[start + k] = u + v;
                a[start + k + half] = u - v;
            }
    }
}

}  // namespace

bool UnexplainedSoundBursts(std::span<const double> unexplained, std::span<const float> recorded, std::int64_t first,
                            std::int64_t last, double seconds, double rate) {
    first = std::max<std::int64_t>(first, 0);
    last = std::min({last, static_cast<std::int64_t>(recorded.size()), static_cast<std::int64_t>(unexplained.size())});
    const double gapSeconds = kGapShare * seconds;
    const auto block = std::max<std::int64_t>(static_cast<std::int64_t>(std::min(kLongestBlock, gapSeconds / 5.0) * rate), 2);
    const std::int64_t hop = block / 2;
    std::vector<double> left, heard;  // per block: unexplained energy, recorded energy
    for (std::int64_t start = first; start + block <= last; start += hop) {
        double e = 0.0, r = 0.0;
        for (std::int64_t i = start; i < start + block; ++i) {
            const double u = unexplained[static_cast<std::size_t>(i)];
            const double v = recorded[static_cast<std::size_t>(i)];
            e += u * u;
            r += v * v;
        }
        left.push_back(e);
        heard.push_back(r);
    }
    const std::size_t count = left.size();
    if (count == 0) return false;

    std::vector<double> scratch(left);
    std::nth_element(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(count / 10), scratch.end());
    const double quietest = scratch[count / 10];
    for (std::size_t j = 0; j < count; ++j)
        if (left[j] > kMostlyUnexplained * heard[j] && left[j] > kAboveQuietest * quietest) return true;

    const auto gap = std::max<std::size_t>(1, static_cast<std::size_t>(gapSeconds * rate / static_cast<double>(hop)));
    const std::size_t side = 2 * gap;
    auto typical = [&](std::size_t from, std::size_t to) {  // the median of blocks [from, to)
        scratch.assign(left.begin() + static_cast<std::ptrdiff_t>(from), left.begin() + static_cast<std::ptrdiff_t>(to));
        return MedianOf(scratch);
    };
    // Only blocks with stretches on both sides: the sweep's ends rise and fall on their own.
    for (std::size_t j = gap + 1; j + gap + 1 < count; ++j) {
        if (!(left[j] > kAudible * heard[j])) continue;
        const std::size_t before = j - gap, after = j + gap + 1;
        const double around = std::max(typical(before > side ? before - side : 0, before),
                                       typical(after, std::min(count, after + side)));
        if (left[j] > kBurst * around) return true;
    }
    return false;
}

bool BandArrivesAway(std::span<const std::complex<double>> spectrum, std::size_t size, double from, double to,
                     double rate) {
    const double binHz = rate / static_cast<double>(size);
    const std::size_t lastBin = spectrum.size() - 1;
    const double step = std::sqrt(2.0);
    auto binsOf = [&](double fc) {
        const auto a = static_cast<std::size_t>(std::ceil(fc / 2.0 / binHz));
        const auto b = std::min(lastBin, static_cast<std::size_t>(std::floor(2.0 * fc / binHz)));
        return std::pair{a, b};
    };
    std::size_t largest = 0;
    for (double fc = from * step; fc <= to / step * (1.0 + 1e-9); fc *= step) {
        const auto [a, b] = binsOf(fc);
        if (b > a) largest = std::max(largest, PowerOfTwoAtLeast(b - a + 1));
    }
    if (largest < 8) return false;
    std::vector<Complex> roots(largest / 2);
    for (std::size_t k = 0; k < roots.size(); ++k)
        roots[k] = std::polar(1.0, 2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(largest));

    std::vector<Complex> band;
    for (double fc = from * step; fc <= to / step * (1.0 + 1e-9); fc *= step) {
        const auto [a, b] = binsOf(fc);
        if (b <= a + 8) continue;
        // The band shifted to baseband: its inverse transform is the band's analytic impulse
        // response at lags t·size/m, whose magnitude is the envelope.
        const std::size_t width = b - a + 1, m = PowerOfTwoAtLeast(width);
        band.assign(m, Complex());
        const Complex turn = std::polar(1.0, 2.0 * std::numbers::pi / static_cast<double>(width + 1));
        Complex rotation = turn;
        for (std::size_t i = 0; i < width; ++i, rotation *= turn)
            band[i] = spectrum[a + i] * (0.5 - 0.5 * rotation.real());
        InverseTransform(band, roots);
        double peak = 0.0, total = 0.0;
        for (const Complex& v : band) {
            const double e = std::norm(v);
            peak = std::max(peak, e);
            total += e;
        }
        if (!(peak > kBandStandsOut * total / static_cast<double>(m))) continue;
        const double nearSamples = std::max(kNearPeriods / fc, kNearSeconds) * rate;
        const auto near = static_cast<std::size_t>(std::ceil(nearSamples * static_cast<double>(m) / static_cast<double>(size)));
        double nearPeak = std::norm(band[0]);
        for (std::size_t t = 1; t <= std::min(near, m / 2); ++t)
            nearPeak = std::max({nearPeak, std::norm(band[t]), std::norm(band[m - t])});
        if (nearPeak < kNothingNear * peak) return true;
    }
    return false;
}

}  // namespace tonewell

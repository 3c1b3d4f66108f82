#include "measurement/ToneMeasurement.h"

#include "measurement/HarmonicFit.h"
#include "shared/DocumentNumbers.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <new>
#include <utility>

namespace tonewell {

struct ToneMeter::Samples {
    const std::uint16_t* codes = nullptr;  // with zero and voltsPerCode; or
    const double* volts = nullptr;
    std::size_t count = 0;
    std::int32_t zero = 0;
    double voltsPerCode = 0.0;

    void read(std::size_t start, std::size_t n, double* out) const {
        if (volts != nullptr) {
            std::copy(volts + start, volts + start + n, out);
            return;
        }
        const std::uint16_t* from = codes + start;
        for (std::size_t i = 0; i < n; ++i) out[i] = voltsPerCode * static_cast<double>(static_cast<std::int32_t>(from[i]) - zero);
    }
};

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr std::size_t kMinimumSamples = 64;
// The fit needs a period in each half of a block.
constexpr double kMinimumPeriods = 2.0;
constexpr int kMaximumPasses = 12;
// f0 has settled when a pass would turn the fundamental by less than this over the stretch: a
// fit at a frequency that far off loses only parts in 10⁹ of the amplitudes, and the frequency
// read is the corrected one.
constexpr double kSettledRadians = 1e-4;
// A record up to this many samples, or blocks, long is analysed whole.
constexpr std::size_t kWholeRecordSamples = std::size_t{1} << 18;
constexpr std::size_t kWholeRecordBlocks = 8;

// A power of two of at least an eighth of a second and three periods of the lowest frequency
// that can be the fundamental.
std::size_t BlockLength(double samplesPerSecond, double lowest) {
    const double wanted = std::max(samplesPerSecond / 8.0, 3.0 * samplesPerSecond / std::max(lowest, 1.0));
    std::size_t length = 1024;
    while (static_cast<double>(length) < wanted && length < (std::size_t{1} << 24)) length *= 2;
    return length;
}

int FftSize(std::size_t count) {
    int size = 64;
    while (static_cast<std::size_t>(size) < count) size *= 2;
    return size;
}

// The stretches analysed: the whole record, or blocks at 0, L, 5L, 21L, … and one ending with
// the record. Each distance from the first block is at most four times the one before, so the
// phase known from the blocks so far counts the periods to the next with room to spare.
std::vector<std::pair<std::size_t, std::size_t>> Layout(std::size_t n, std::size_t length) {
    if (n <= std::max(kWholeRecordSamples, kWholeRecordBlocks * length)) return {{0, n}};
    std::vector<std::pair<std::size_t, std::size_t>> blocks;
    for (std::size_t start = 0; start + 2 * length <= n; start = 4 * start + length) blocks.emplace_back(start, length);
    blocks.emplace_back(n - length, length);
    return blocks;
}

struct Block {
    std::size_t start = 0;
    std::vector<double> x;
    std::vector<double> fit;  // coefficients of the last pass, in basis order
};

// Slope of the weighted least-squares line through (t, y).
double WeightedSlope(const std::vector<double>& t, const std::vector<double>& y, const std::vector<double>& w,
                     std::size_t count) {
    double sw = 0, st = 0, sy = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sw += w[i];
        st += w[i] * t[i];
        sy += w[i] * y[i];
    }
    const double tm = st / sw, ym = sy / sw;
    double stt = 0, sty = 0;
    for (std::size_t i = 0; i < count; ++i) {
        stt += w[i] * (t[i] - tm) * (t[i] - tm);
        sty += w[i] * (t[i] - tm) * (y[i] - ym);
    }
    return sty / stt;
}

double PowerDb(double ratio) { return 10.0 * std::log10(ratio); }

double Mean(const std::vector<double>& x) {
    double sum = 0.0;
    for (double v : x) sum += v;
    return sum / static_cast<double>(x.size());
}

double Power(const std::vector<float>& re, const std::vector<float>& im, int k) {
    return static_cast<double>(re[k]) * re[k] + static_cast<double>(im[k]) * im[k];
}

}  // namespace

std::string MeasurementStatusText(MeasurementStatus status) {
    switch (status) {
    case MeasurementStatus::Measured:
        return {};
    case MeasurementStatus::Absent:
        return "not in the record";
    case MeasurementStatus::TooShort:
        return "too short to measure (two periods of the fundamental and 64 samples at least)";
    case MeasurementStatus::Silent:
        return "silent: nothing to measure";
    case MeasurementStatus::NoBand:
        return "without a tone below half the sampling rate in the band";
    case MeasurementStatus::NoMemory:
        return "too long to measure in the memory there is";
    }
    return {};
}

double SamplesPerSecondOf(const SignalRecord& record) {
    if (record.riffHeader.format.samplesPerSecond > 0) return record.riffHeader.format.samplesPerSecond;
    const double interval = record.intervalSeconds();
    return interval > 0.0 ? 1.0 / interval : 0.0;
}

RecordMeasurement ToneMeter::measure(const SignalRecord& record, const MeasurementSettings& settings) {
    RecordMeasurement result;
    const double rate = SamplesPerSecondOf(record);
    const auto channel = [&](const SampleArray& data, std::int32_t zero, VoltageRange range,
                             int bits) {
        Samples samples;
        samples.codes = data.data();
        samples.count = std::min<std::size_t>(record.sampleCount, data.size());
        samples.zero = zero;
        // The oscilloscope's volts per code, rounded to float as its statistics use it.
        samples.voltsPerCode = static_cast<float>(VoltsPerCode(range.max, range.min, range.exponent, bits));
        return measureChannel(samples, rate, settings);
    };
    if (record.samplingType == kSamplingTypeA || record.samplingType == kSamplingTypeAB)
        result.a = channel(record.dataA, record.zeroA, record.rangeA(), record.resolutionA);
    if (record.samplingType == kSamplingTypeB || record.samplingType == kSamplingTypeAB)
        result.b = channel(record.dataB, record.zeroB, record.rangeB(), record.resolutionB);
    return result;
}

ChannelMeasurement ToneMeter::measure(std::span<const double> volts, double samplesPerSecond,
                                      const MeasurementSettings& settings) {
    Samples samples;
    samples.volts = volts.data();
    samples.count = volts.size();
    return measureChannel(samples, samplesPerSecond, settings);
}

RealFftPlan* ToneMeter::plan(int size) {
    auto [at, made] = plans_.try_emplace(size);
    if (made && !at->second.prepare(size)) {
        plans_.erase(at);
        return nullptr;
    }
    return &at->second;
}

int ToneMeter::transform(const std::vector<double>& x, double mean, const std::vector<double>* weights) {
    const int size = FftSize(x.size());
    RealFftPlan* fft = plan(size);
    if (fft == nullptr) return 0;
    re_.assign(static_cast<std::size_t>(size), 0.0f);
    im_.assign(static_cast<std::size_t>(size), 0.0f);
    for (std::size_t i = 0; i < x.size(); ++i)
        re_[i] = static_cast<float>(weights != nullptr ? (x[i] - mean) * (*weights)[i] : x[i] - mean);
    fft->forward(re_.data(), im_.data());
    return size;
}

// The four-term Blackman-Harris window (sidelobes 92 dB down), periodic over length samples.
const std::vector<double>& ToneMeter::window(std::size_t length) {
    auto [at, made] = windows_.try_emplace(length);
    std::vector<double>& w = at->second;
    if (!made) return w;
    w.resize(length);
    const double step = kTwoPi / static_cast<double>(length);
    for (std::size_t i = 0; i <= length / 2; ++i) {
        const double c = std::cos(step * static_cast<double>(i));
        const double c2 = 2.0 * c * c - 1.0, c3 = (4.0 * c * c - 3.0) * c;
        w[i] = 0.35875 - 0.48829 * c + 0.14128 * c2 - 0.01168 * c3;
        if (i > 0) w[length - i] = w[i];
    }
    return w;
}

ChannelMeasurement ToneMeter::measureChannel(const Samples& samples, double rate, const MeasurementSettings& settings) {
    ChannelMeasurement result;
    const auto stop = [&result](MeasurementStatus status) {
        result.status = status;
        return result;
    };
    const double nyquist = rate / 2.0;
    const double low = std::max(settings.bandLow, 0.0);
    const double high = std::min(settings.bandHigh, nyquist);
    if (!(rate > 0.0) || !(high > low)) return stop(MeasurementStatus::NoBand);
    if (samples.count < kMinimumSamples) return stop(MeasurementStatus::TooShort);
    const int harmonics = std::clamp(settings.harmonics, 1, kMaximumMeasuredHarmonics);
    const double clock = 1.0 + settings.clockPpm * 1e-6;

    try {
        std::vector<Block> blocks;
        std::size_t loudest = 0;
        double loudestEnergy = 0.0;
        const double lowest = settings.fundamental > 0.0 ? std::min(low, settings.fundamental / clock / 2.0) : low;
        for (auto [start, length] : Layout(samples.count, BlockLength(rate, lowest))) {
            Block& block = blocks.emplace_back();
            block.start = start;
            block.x.resize(length);
            samples.read(start, length, block.x.data());
            const double mean = Mean(block.x);
            double energy = 0.0;
            for (double v : block.x) energy += (v - mean) * (v - mean);
            energy /= static_cast<double>(length);
            if (energy > loudestEnergy) {
                loudestEnergy = energy;
                loudest = blocks.size() - 1;
            }
        }
        if (!(loudestEnergy > 0.0)) return stop(MeasurementStatus::Silent);

        // The fundamental's bin in the windowed spectrum of the loudest block, then a parabola
        // through the logarithms of the peak and its neighbours.
        double omega = 0.0;
        {
            const std::vector<double>& x = blocks[loudest].x;
            const int size = transform(x, Mean(x), &window(x.size()));
            if (size == 0) return stop(MeasurementStatus::NoMemory);
            const auto power = [this](int k) { return Power(re_, im_, k); };
            double searchLow = low, searchHigh = high;
            if (settings.fundamental > 0.0) {
                // Within the window's main lobe of the frequency given.
                const double given = settings.fundamental / clock;
                const double lobe = 4.0 * rate / static_cast<double>(x.size());
                searchLow = std::max(0.0, given - lobe);
                searchHigh = std::min(nyquist, given + lobe);
            }
            const int first = std::max(1, static_cast<int>(std::ceil(searchLow * size / rate)));
            const int last = std::min(size / 2 - 1, static_cast<int>(std::floor(searchHigh * size / rate)));
            if (first > last) return stop(MeasurementStatus::NoBand);
            int peak = first;
            for (int k = first + 1; k <= last; ++k)
                if (power(k) > power(peak)) peak = k;
            if (!(power(peak) > 0.0)) return stop(MeasurementStatus::Silent);
            double offset = 0.0;
            const double before = power(peak - 1), at = power(peak), after = power(peak + 1);
            if (before > 0.0 && after > 0.0) {
                const double l0 = std::log(before), l1 = std::log(at), l2 = std::log(after);
                const double curvature = l0 - 2.0 * l1 + l2;
                if (curvature < 0.0) offset = std::clamp(0.5 * (l0 - l2) / curvature, -1.0, 1.0);
            }
            omega = kTwoPi * (peak + offset) / size;
        }
        std::size_t shortest = samples.count;
        for (const Block& block : blocks) shortest = std::min(shortest, block.x.size());
        if (omega * static_cast<double>(shortest) < kMinimumPeriods * kTwoPi) return stop(MeasurementStatus::TooShort);

        // Harmonics up to two bins of the shortest block below half the rate.
        const double guard = 2.0 * kTwoPi / static_cast<double>(shortest);
        const double span = static_cast<double>(blocks.back().start + blocks.back().x.size() - blocks.front().start);
        HarmonicBasis basis;
        std::vector<double> g1, g2, gm, p1, p2;
        const std::size_t count = blocks.size();
        std::vector<double> times(count), phases(count), weights(count);
        double settled = omega;
        for (int pass = 0;; ++pass) {
            // The first pass, from the spectrum's estimate, fits the fundamental alone: it only
            // has to bring f0 close enough for the harmonics to follow.
            int fitted = pass == 0 ? 1 : harmonics;
            while (fitted > 0 && fitted * omega >= kPi - guard) --fitted;
            if (fitted == 0 || !(omega > 0.0)) return stop(MeasurementStatus::NoBand);
            basis.prepare(omega, fitted);
            const std::size_t n = basis.size();
            double localSum = 0.0, localWeight = 0.0;
            for (std::size_t b = 0; b < count; ++b) {
                Block& block = blocks[b];
                const std::size_t length = block.x.size(), half = length / 2;
                p1.resize(n);
                p2.resize(n);
                g1.resize(n * n);
                g2.resize(n * n);
                basis.project(block.x.data(), half, 0, p1.data());
                basis.project(block.x.data() + half, length - half, half, p2.data());
                basis.gram(0, half, g1.data());
                basis.gram(half, length - half, g2.data());
                block.fit.resize(n);
                gm.resize(n * n);
                for (std::size_t j = 0; j < n; ++j) block.fit[j] = p1[j] + p2[j];
                for (std::size_t j = 0; j < n * n; ++j) gm[j] = g1[j] + g2[j];
                if (!SolveSymmetric(g1.data(), p1.data(), n) || !SolveSymmetric(g2.data(), p2.data(), n) ||
                    !SolveSymmetric(gm.data(), block.fit.data(), n))
                    return stop(MeasurementStatus::TooShort);
                // a·cos + b·sin = Re((a − jb)·e^{jωn}): the fundamental as one complex number.
                const std::complex<double> first(p1[1], -p1[2]), second(p2[1], -p2[2]);
                const std::complex<double> whole(block.fit[1], -block.fit[2]);
                // The halves' centres lie half a block apart.
                const double weight = std::norm(whole) * std::pow(static_cast<double>(length), 3.0);
                localSum += weight * std::arg(second * std::conj(first)) / (0.5 * static_cast<double>(length));
                localWeight += weight;
                times[b] = static_cast<double>(block.start) + 0.5 * (static_cast<double>(length) - 1.0);
                phases[b] = std::arg(whole) - std::remainder(omega * static_cast<double>(block.start), kTwoPi);
                weights[b] = std::norm(whole) * static_cast<double>(length);
            }
            if (!(localWeight > 0.0)) return stop(MeasurementStatus::Silent);
            double delta = localSum / localWeight;
            // Across blocks: count whole periods from block to block with the slope known so
            // far, then fit the line through every phase up to there.
            for (std::size_t b = 1; b < count; ++b) {
                const double predicted = phases[b - 1] + delta * (times[b] - times[b - 1]);
                phases[b] = predicted + std::remainder(phases[b] - predicted, kTwoPi);
                delta = WeightedSlope(times, phases, weights, b + 1);
            }
            settled = omega + delta;
            if ((pass > 0 && std::fabs(delta) * span < kSettledRadians) || pass + 1 >= kMaximumPasses) break;
            omega = settled;
        }

        // Each block stands for the stretch of the record nearest to it: its share of the mean
        // squares of the harmonics and of the band-limited rest, per sample.
        std::vector<double> shares(count);
        for (std::size_t b = 0; b < count; ++b) {
            const double from = b == 0 ? 0.0 : 0.5 * (times[b - 1] + times[b]);
            const double to = b + 1 == count ? static_cast<double>(samples.count) : 0.5 * (times[b] + times[b + 1]);
            shares[b] = (to - from) / static_cast<double>(samples.count) / static_cast<double>(blocks[b].x.size());
        }
        const int fitted = basis.harmonics();
        std::vector<double> meanSquares(static_cast<std::size_t>(harmonics), 0.0);
        for (std::size_t b = 0; b < count; ++b)
            for (int h = 1; h <= fitted; ++h) {
                const double* fit = blocks[b].fit.data();
                meanSquares[h - 1] += shares[b] * 0.5 * static_cast<double>(blocks[b].x.size()) *
                                      (fit[2 * h - 1] * fit[2 * h - 1] + fit[2 * h] * fit[2 * h]);
            }
        double noise = 0.0;
        for (std::size_t b = 0; b < count; ++b) {
            Block& block = blocks[b];
            basis.subtract(block.fit.data(), block.x.data(), block.x.size(), 0);
            const int size = transform(block.x, 0.0, nullptr);
            if (size == 0) return stop(MeasurementStatus::NoMemory);
            // Parseval over the bins inside the band, each positive frequency with its mirror.
            const int first = static_cast<int>(std::ceil(low * size / rate));
            const int last = std::min(size / 2, static_cast<int>(std::floor(high * size / rate)));
            double energy = 0.0;
            for (int k = first; k <= last; ++k) energy += (k == 0 || k == size / 2 ? 1.0 : 2.0) * Power(re_, im_, k);
            noise += shares[b] * energy / size;
        }

        const double f0 = settled * rate / kTwoPi;
        const double fundamental = meanSquares[0];
        if (!(fundamental > 0.0)) return stop(MeasurementStatus::Silent);
        double distortion = 0.0;
        result.harmonicLevels.assign(static_cast<std::size_t>(harmonics), 0.0);
        result.harmonicLevels[0] = std::sqrt(fundamental);
        for (int h = 2; h <= fitted; ++h)
            if (h * f0 < high) {
                distortion += meanSquares[h - 1];
                result.harmonicLevels[h - 1] = std::sqrt(meanSquares[h - 1]);
            }
        const double rest = distortion + noise;
        result.status = MeasurementStatus::Measured;
        result.frequency = f0 * clock;
        result.level = std::sqrt(fundamental);
        result.noiseLevel = std::sqrt(noise);
        result.thd = PowerDb(distortion / fundamental);
        result.thdPercent = 100.0 * std::sqrt(distortion / fundamental);
        result.thdn = PowerDb(rest / (fundamental + rest));
        result.sinad = PowerDb(fundamental / rest);
        result.snr = PowerDb(fundamental / noise);
        result.enob = (result.sinad - 1.76) / 6.02;
        return result;
    } catch (const std::bad_alloc&) {
        return stop(MeasurementStatus::NoMemory);
    }
}

}  // namespace tonewell

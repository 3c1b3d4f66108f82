#include "response/FrequencyResponse.h"

#include "response/PreciseRealFft.h"
#include "response/SoundContinuity.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <new>
#include <numbers>

namespace tonewell {

namespace {

using Complex = std::complex<double>;

// Peaks below these are silence: nothing at all in a stimulus; in a recording no more than the
// few steps of a 16-bit file's noise or dither (-80 dBFS).
constexpr double kSilentStimulus = 1e-6;
constexpr double kSilentRecording = 1e-4;
// Inside the band the division is regularised only against empty bins: the stimulus's
// strongest bin times this, far below any bin a sweep fills.
constexpr double kRegularisation = 1e-8;
// The stimulus's band: where its energy per octave reaches this share of the greatest.
constexpr double kBandShare = 0.01;
// An answer stands out when the impulse response's main peak exceeds its RMS over the whole
// transform this many times; noise alone peaks at about five times.
constexpr double kPeakProminence = 8.0;
// Sound lost, repeated or moved on its way, which the devices did not count.
constexpr const char* kLostSound = "the recording lost sound during the sweep: measure again";
// The transform that still fits comfortably in memory (floats and doubles of this many points).
constexpr std::size_t kLargestTransform = std::size_t{1} << 22;

std::size_t NextPowerOfTwo(std::size_t n) {
    std::size_t p = 4096;
    while (p < n) p *= 2;
    return p;
}

// 1 inside the band, falling with a half cosine over an octave (on a log scale) outside it, 0 at
// DC: the band-limit of the impulse response, real so that the peak of a pure delay stays where
// the delay is.
double BandWindow(double f, double from, double to, double nyquist) {
    if (f <= 0.0) return 0.0;
    if (f >= from && f <= to) return 1.0;
    double u;
    if (f < from) {
        u = std::log2(from / f);
    } else {
        const double top = std::min(2.0 * to, nyquist);
        if (top <= to) return 0.0;
        u = std::log2(f / to) / std::log2(top / to);
    }
    return u >= 1.0 ? 0.0 : 0.5 + 0.5 * std::cos(std::numbers::pi * u);
}

// The band where the stimulus's energy per octave (over 1/24-octave cells) is at least
// kBandShare of the greatest, around the greatest; false when the stimulus has no such band.
bool FindStimulusBand(const std::vector<double>& power, double binHz, double& from, double& to) {
    const std::size_t bins = power.size();
    std::vector<double> prefix(bins + 1, 0.0);
    for (std::size_t k = 0; k < bins; ++k) prefix[k + 1] = prefix[k] + power[k];
    const double nyquist = binHz * static_cast<double>(bins - 1);
    const double step = std::exp2(1.0 / 48.0);
    std::vector<double> centres, energy;
    for (double f = std::max(binHz * 2.0, 1.0); f <= nyquist; f *= step) {
        const auto a = static_cast<std::size_t>(std::floor(f / step / binHz));
        const auto b = std::min(bins, static_cast<std::size_t>(std::ceil(f * step / binHz)) + 1);
        centres.push_back(f);
        // Per octave: the cell's energy over its width in octaves (a constant) is enough.
        energy.push_back(prefix[b] - prefix[std::min(a, b)]);
    }
    if (centres.empty()) return false;
    const std::size_t best = static_cast<std::size_t>(std::max_element(energy.begin(), energy.end()) - energy.begin());
    if (!(energy[best] > 0.0)) return false;
    const double floor = energy[best] * kBandShare;
    std::size_t low = best, high = best;
    while (low > 0 && energy[low - 1] >= floor) --low;
    while (high + 1 < centres.size() && energy[high + 1] >= floor) ++high;
    from = centres[low];
    to = std::min(centres[high], nyquist);
    return to > from;
}

// The position near `start` where the band-limited impulse response whose spectrum is H
// (bins 0 .. n/2 of an n-point transform, nonzero in first .. last only) peaks, by Newton's
// method on its trigonometric interpolation, within half a sample of start.
double RefinePeak(const std::vector<Complex>& spectrum, std::size_t first, std::size_t last, std::size_t n,
                  double start) {
    double t = start;
    const double omega = 2.0 * std::numbers::pi / static_cast<double>(n);
    for (int iteration = 0; iteration < 6; ++iteration) {
        // h'(t) and h''(t) up to the common factor 2/n.
        const Complex turn = std::polar(1.0, omega * t);
        Complex rotation = std::pow(turn, static_cast<double>(first));
        double slope = 0.0, curvature = 0.0;
        for (std::size_t k = first; k <= last; ++k) {
            const double w = omega * static_cast<double>(k);
            const Complex term = spectrum[k] * rotation;
            slope -= w * term.imag();
            curvature -= w * w * term.real();
            rotation *= turn;
        }
        if (curvature == 0.0) break;
        const double step = -slope / curvature;
        t += std::clamp(step, -0.25, 0.25);
        t = std::clamp(t, start - 0.5, start + 0.5);
        if (std::fabs(step) < 1e-7) break;
    }
    return t;
}

// Mean of a piecewise-linear spectrum (samples at whole bins) over [a, b] in bins, through its
// running integral, which it keeps in `integral` (resized to the samples).
class SpectrumMean {
public:
    SpectrumMean(const std::vector<Complex>& samples, std::vector<Complex>& integral)
        : samples_(samples), integral_(integral) {
        integral_.resize(samples.size());
        integral_[0] = 0.0;
        for (std::size_t k = 1; k < samples.size(); ++k)
            integral_[k] = integral_[k - 1] + 0.5 * (samples[k - 1] + samples[k]);
    }
    Complex over(double a, double b) const {
        if (b - a < 1e-9) return at(a);
        return (integralTo(b) - integralTo(a)) / (b - a);
    }

private:
    std::size_t segment(double u) const {
        const double last = static_cast<double>(samples_.size() - 2);
        return static_cast<std::size_t>(std::clamp(std::floor(u), 0.0, last));
    }
    Complex at(double u) const {
        const std::size_t j = segment(u);
        const double t = u - static_cast<double>(j);
        return samples_[j] + t * (samples_[j + 1] - samples_[j]);
    }
    Complex integralTo(double u) const {
        const std::size_t j = segment(u);
        const double t = u - static_cast<double>(j);
        return integral_[j] + t * samples_[j] + 0.5 * t * t * (samples_[j + 1] - samples_[j]);
    }

    const std::vector<Complex>& samples_;
    std::vector<Complex>& integral_;
};

double PeakOf(std::span<const float> samples) {
    double peak = 0.0;
    for (float v : samples) peak = std::max(peak, static_cast<double>(std::fabs(v)));
    return peak;
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", seconds);
    return text;
}

ResponseResult Compute(std::span<const float> stimulus, std::span<const float> recorded, double rate,
                       const ResponseAnalysisSettings& settings) {
    ResponseResult result;
    FrequencyResponse& response = result.response;
    response.sampleRate = rate;
    const std::size_t lx = stimulus.size(), ly = recorded.size();
    const double nyquist = rate / 2.0;
    if (!(rate > 0.0)) return {"the sampling rate must be above 0 Hz", {}};
    if (lx < 64) return {"the stimulus is too short: it needs at least 64 samples", {}};
    if (ly < lx)
        return {"the recording (" + Seconds(ly / rate) + ") is shorter than the stimulus (" + Seconds(lx / rate) +
                    "): it must hold the whole answer",
                {}};
    const bool bandGiven = settings.fromHz != 0.0 || settings.toHz != 0.0;
    if (bandGiven && !(settings.fromHz > 0.0 && settings.toHz > settings.fromHz && settings.toHz <= nyquist))
        return {"the band must satisfy 0 < from < to <= half the sampling rate", {}};
    if (settings.pointsPerOctave < 1) return {"the grid needs at least one point per octave", {}};
    if (PeakOf(stimulus) < kSilentStimulus) return {"the stimulus is silent", {}};
    if (PeakOf(recorded) < kSilentRecording) return {"the recording is silent (its peak is below -80 dBFS): nothing came back", {}};

    // The time window around the main peak: before it, half the lead of a sweep's second
    // harmonic (which an exponential sweep puts T·ln 2 / ln(to/from) ahead of the peak); after
    // it, a quarter of the stimulus, at most a second.
    const double seconds = lx / rate;
    const double assumedFrom = bandGiven ? settings.fromHz : 20.0;
    const double assumedTo = bandGiven ? settings.toHz : std::min(20000.0, nyquist);
    double lead = seconds * std::log(2.0) / std::log(std::max(assumedTo / assumedFrom, 2.0));
    auto preFor = [&](double leadSeconds) {
        return static_cast<std::size_t>(std::min(std::max(leadSeconds / 2.0, 0.001), seconds / 2.0) * rate);
    };
    auto pre = preFor(lead);
    auto post = static_cast<std::size_t>(std::clamp(seconds / 4.0, 0.002, 1.0) * rate);
    // Linear, not circular, within the window: the wrapped harmonics and noise stay outside it.
    const std::size_t n = NextPowerOfTwo(ly + pre + post);
    if (n > kLargestTransform)
        return {"the recording is too long to analyse: at most " + Seconds((kLargestTransform / 2) / rate), {}};
    const std::size_t half = n / 2;
    const double binHz = rate / static_cast<double>(n);

    std::vector<double> signal;
    std::vector<Complex> x, y;
    PreciseRealFft transform;
    try {
        signal.assign(n, 0.0);
        x.resize(half + 1);
        y.resize(half + 1);
    } catch (const std::bad_alloc&) {
        return {"not enough memory to analyse the recording", {}};
    }
    if (!transform.prepare(n)) return {"not enough memory to analyse the recording", {}};
    std::copy(stimulus.begin(), stimulus.end(), signal.begin());
    transform.forward(signal.data(), x.data());
    std::fill(signal.begin(), signal.end(), 0.0);
    std::copy(recorded.begin(), recorded.end(), signal.begin());
    transform.forward(signal.data(), y.data());

    std::vector<double> power(half + 1);
    for (std::size_t k = 0; k <= half; ++k) power[k] = std::norm(x[k]);
    double from = settings.fromHz, to = settings.toHz;
    if (!bandGiven && !FindStimulusBand(power, binHz, from, to)) return {"the stimulus has no band to measure", {}};
    if (!bandGiven) {
        // The window's lead from the band found.
        lead = seconds * std::log(2.0) / std::log(std::max(to / from, 2.0));
        pre = std::min(pre, preFor(lead));
    }
    response.fromHz = from;
    response.toHz = to;

    // H = Y·X* / (|X|² + ε), band-limited by the smooth window.
    double strongest = 0.0;
    for (std::size_t k = 0; k <= half; ++k)
        if (const double f = k * binHz; f >= from && f <= to) strongest = std::max(strongest, power[k]);
    const double epsilon = std::max(strongest, 1e-30) * kRegularisation;
    std::vector<Complex>& h = y;  // the response replaces the recording's spectrum
    std::size_t first = half, last = 0;
    for (std::size_t k = 0; k <= half; ++k) {
        const double g = BandWindow(k * binHz, from, to, nyquist);
        h[k] = g == 0.0 ? Complex() : g * y[k] * std::conj(x[k]) / (power[k] + epsilon);
        if (g != 0.0) first = std::min(first, k), last = k;
    }
    if (first > last) return {"the band holds no frequency of the transform", {}};

    // The impulse response.
    transform.inverse(h.data(), signal.data());
    const std::vector<double>& impulse = signal;

    // The main peak: among the lags where the answer can start (a little before the stimulus,
    // up to the stimulus's end meeting the recording's end).
    const auto earliest = -static_cast<std::int64_t>(pre);
    const auto latest = static_cast<std::int64_t>(ly - lx + pre);
    auto at = [&](std::int64_t lag) {
        return impulse[static_cast<std::size_t>((lag % static_cast<std::int64_t>(n) + static_cast<std::int64_t>(n)) %
                                                static_cast<std::int64_t>(n))];
    };
    std::int64_t peakLag = 0;
    double peak = -1.0;
    for (std::int64_t lag = earliest; lag <= latest; ++lag)
        if (const double v = std::fabs(at(lag)); v > peak) peak = v, peakLag = lag;
    double energy = 0.0;
    for (double v : impulse) energy += v * v;
    const double rms = std::sqrt(energy / static_cast<double>(n));
    if (!(peak > kPeakProminence * rms)) return {"no answer to the stimulus stands out in the recording", {}};
    response.inverted = at(peakLag) < 0.0;

    // Between samples: a parabola through the three around the peak, then Newton on the
    // band-limited response itself.
    const double left = std::fabs(at(peakLag - 1)), right = std::fabs(at(peakLag + 1));
    const double bend = left - 2.0 * peak + right;
    const double parabola = bend < 0.0 ? std::clamp(0.5 * (left - right) / bend, -0.5, 0.5) : 0.0;
    const double peakIndex = static_cast<double>((peakLag + static_cast<std::int64_t>(n)) % static_cast<std::int64_t>(n));
    const double refined = RefinePeak(h, first, last, n, peakIndex + parabola);
    const double fraction = refined - peakIndex;  // of the peak beyond its whole sample
    response.latencySeconds = (static_cast<double>(peakLag) + fraction) / rate;

    // The window: flat over the middle halves of both sides, half-cosine ramps on the outer.
    auto weight = [&](std::int64_t offset) {
        const double side = static_cast<double>(offset < 0 ? pre : post);
        const double u = std::fabs(static_cast<double>(offset)) / side;  // 0 at the peak, 1 at the edge
        if (u >= 1.0) return 0.0;
        return u <= 0.5 ? 1.0 : 0.5 + 0.5 * std::cos(std::numbers::pi * (2.0 * u - 1.0));
    };
    const std::int64_t windowStart = peakLag - static_cast<std::int64_t>(pre);
    const std::int64_t windowEnd = peakLag + static_cast<std::int64_t>(post);
    response.impulseStart = std::min<std::int64_t>(0, windowStart);
    response.impulse.assign(static_cast<std::size_t>(windowEnd - response.impulseStart + 1), 0.0f);
    // The windowed response, turned so that the peak's whole sample is at index 0, and its
    // spectrum with the peak's fraction of a sample taken away too.
    std::vector<double> windowed(static_cast<std::size_t>(windowEnd - windowStart + 1));
    for (std::int64_t lag = windowStart; lag <= windowEnd; ++lag) {
        const double v = at(lag) * weight(lag - peakLag);
        windowed[static_cast<std::size_t>(lag - windowStart)] = v;
        response.impulse[static_cast<std::size_t>(lag - response.impulseStart)] = static_cast<float>(v);
    }
    // What the response does not explain: the stimulus through the impulse response outside the
    // window, which is the recording (in the band) less the stimulus through the windowed one.
    for (std::int64_t lag = windowStart; lag <= windowEnd; ++lag)
        signal[static_cast<std::size_t>((lag % static_cast<std::int64_t>(n) + static_cast<std::int64_t>(n)) %
                                        static_cast<std::int64_t>(n))] -= windowed[static_cast<std::size_t>(lag - windowStart)];
    transform.forward(signal.data(), h.data());
    for (std::size_t k = 0; k <= half; ++k) h[k] *= x[k];
    transform.inverse(h.data(), signal.data());
    if (UnexplainedSoundBursts(signal, recorded, peakLag, peakLag + static_cast<std::int64_t>(lx), seconds, rate))
        return {kLostSound, {}, true};

    // Its transform need only be twice as long as the window to sample the spectrum finely
    // enough for the grid's means.
    const std::size_t size = std::min(n, NextPowerOfTwo(2 * (pre + post + 1)));
    PreciseRealFft shortTransform;
    if (size < n && !shortTransform.prepare(size)) return {"not enough memory to analyse the recording", {}};
    PreciseRealFft& windowTransform = size < n ? shortTransform : transform;
    std::vector<double>& turned = signal;  // the impulse response is no longer needed whole
    std::fill(turned.begin(), turned.begin() + static_cast<std::ptrdiff_t>(size), 0.0);
    for (std::int64_t lag = windowStart; lag <= windowEnd; ++lag) {
        const std::int64_t offset = lag - peakLag;
        turned[static_cast<std::size_t>((offset + static_cast<std::int64_t>(size)) % static_cast<std::int64_t>(size))] =
            windowed[static_cast<std::size_t>(lag - windowStart)];
    }
    std::vector<Complex>& spectrum = x;
    spectrum.resize(size / 2 + 1);
    windowTransform.forward(turned.data(), spectrum.data());
    const double step = 2.0 * std::numbers::pi * fraction / static_cast<double>(size);
    const Complex turn = std::polar(1.0, step);
    Complex rotation;
    for (std::size_t k = 0; k < spectrum.size(); ++k) {
        // By multiplication, restarted from the exact value now and then.
        rotation = k % 1024 == 0 ? std::polar(1.0, step * static_cast<double>(k)) : rotation * turn;
        spectrum[k] *= rotation;
    }
    if (BandArrivesAway(spectrum, size, from, to, rate)) return {kLostSound, {}, true};
    const SpectrumMean mean(spectrum, h);  // the response's bins are done with too
    const double spectrumBinHz = rate / static_cast<double>(size);

    const double octaves = std::log2(to / from);
    const auto points = static_cast<std::size_t>(std::ceil(octaves * settings.pointsPerOctave - 1e-9)) + 1;
    const double cell = octaves / static_cast<double>(std::max<std::size_t>(points - 1, 1));
    response.frequencyHz.resize(points);
    response.magnitudeDb.resize(points);
    response.phaseDegrees.resize(points);
    for (std::size_t i = 0; i < points; ++i) {
        const double f = from * std::exp2(cell * static_cast<double>(i));
        // Cells at the ends stop at the band's edge, beyond which the stimulus fades.
        const double a = std::max(f * std::exp2(-cell / 2.0), from) / spectrumBinHz;
        const double b = std::min(f * std::exp2(cell / 2.0), to) / spectrumBinHz;
        const Complex value = mean.over(a, b);
        response.frequencyHz[i] = f;
        response.magnitudeDb[i] = 20.0 * std::log10(std::max(std::abs(value), 1e-15));
        response.phaseDegrees[i] = std::arg(value) * 180.0 / std::numbers::pi;
    }
    return result;
}

}  // namespace

ResponseResult ComputeResponse(std::span<const float> stimulus, std::span<const float> recorded, double sampleRate,
                               const ResponseAnalysisSettings& settings) {
    try {
        return Compute(stimulus, recorded, sampleRate, settings);
    } catch (const std::bad_alloc&) {
        return {"not enough memory to analyse the recording", {}};
    }
}

}  // namespace tonewell

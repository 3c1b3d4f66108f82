#include "generator/Synthesizer.h"

#include "generator/ClassicRandom.h"
#include "generator/GeneratorTables.h"
#include "generator/PinkNoise.h"
#include "platform/ByteOrder.h"
#include "platform/Shell.h"

#include <algorithm>
#include <cmath>

namespace tonewell {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kWhiteNoiseScale = 3.0518509e-05;  // 1/32767

// Takes whole periods off a phase that has run past its period. One subtraction is the normal
// case; a step of several periods (only from hand-written tone files) is reduced in one go.
inline double Reduce(double phase, double period) {
    if (phase >= period) {
        phase -= period;
        if (phase >= period) phase = std::fmod(phase, period);
    }
    return phase;
}

inline double Whole(double value) { return std::floor(value); }

inline bool IsOdd(double whole) { return std::fmod(whole, 2.0) != 0.0; }

// A frequency that cannot drive a phase (negative or not a number) stands still instead.
inline double UsableFrequency(double f) { return (f >= 0.0 && std::isfinite(f)) ? f : 0.0; }

// Adds one tone to the mix: advances the shared phase sample by sample (phase 0 on the very first
// sample of a run) and adds value(phase) to each entry.
template <typename StepFn, typename ValueFn, typename FrequencyFn>
void AccumulatePhased(std::span<float> mix, double& phase, double period, bool firstOfRun, bool sweeping,
                      double fixedFrequency, FrequencyFn frequencyAt, StepFn stepFor, ValueFn value) {
    double p = phase;
    const double fixedStep = stepFor(UsableFrequency(fixedFrequency));
    const std::size_t n0 = firstOfRun ? 1 : 0;
    if (firstOfRun && !mix.empty()) {
        p = 0.0;
        mix[0] = static_cast<float>(mix[0] + value(p));
    }
    for (std::size_t n = n0; n < mix.size(); ++n) {
        double step = sweeping ? stepFor(UsableFrequency(frequencyAt(static_cast<std::uint32_t>(n)))) : fixedStep;
        p = Reduce(p + step, period);
        mix[n] = static_cast<float>(mix[n] + value(p));
    }
    phase = p;
}

inline float PeakOf(std::span<const float> mix) {
    float maximum = 0.0f;
    float minimum = 0.0f;
    for (float v : mix) {
        if (v > maximum) maximum = v;
        if (v < minimum) minimum = v;
    }
    float peak = std::max(std::fabs(maximum), std::fabs(minimum));
    return peak == 0.0f ? 1.0f : peak;
}

// Toward zero, held inside the code range (an amplitude above the calibration factor, possible
// only from a damaged panel file, must not wrap round to the opposite sign).
inline std::uint8_t EncodeByte(double v) {
    if (!(v == v)) return 127;
    if (v <= 0.0) return 0;
    if (v >= 255.0) return 255;
    return static_cast<std::uint8_t>(v);
}

inline std::int16_t EncodeWord(float v) {
    if (!(v == v)) return 0;
    if (v <= -32768.0f) return -32768;
    if (v >= 32767.0f) return 32767;
    return static_cast<std::int16_t>(v);
}

}  // namespace

Synthesizer::Synthesizer(const GeneratorSettings& settings, ToneLists& toneLists, const WaveformLibrary& library,
                         const OutputCalibration& calibration, const SeedClock& clock, Shell& shell)
    : settings_(settings),
      toneLists_(toneLists),
      library_(library),
      calibration_(calibration),
      clock_(clock),
      shell_(shell) {}

void Synthesizer::startRun() {
    mix_.assign(SamplingFrequency(settings_), 0.0f);
    phase_[0] = 0.0;
    phase_[1] = 0.0;
    buffersGenerated_ = 0;
}

Synthesizer::SweepPlan Synthesizer::sweepPlan(int channel, std::uint32_t fs) const {
    // Everything but the sample's own position is worked out once per buffer; the arithmetic per
    // sample stays as it was.
    SweepLaw law = ChannelSweep(settings_, channel);
    SweepPlan plan;
    plan.linear = law.linear;
    // A zero duration never starts a run; here it reads as one second rather than dividing by 0.
    plan.total = static_cast<double>(law.duration == 0 ? 1u : law.duration) * static_cast<double>(fs);
    plan.first = static_cast<double>(buffersGenerated_) * static_cast<double>(fs);
    plan.start = static_cast<double>(law.start);
    plan.end = static_cast<double>(law.end);
    plan.logStart = std::log10(plan.start);
    plan.logSpan = std::log10(plan.end) - plan.logStart;
    return plan;
}

double Synthesizer::SweepPlan::at(std::uint32_t n) const {
    const double i = first + static_cast<double>(n);
    const double f = linear ? start + (end - start) * i / total : std::pow(10.0, logStart + logSpan * i / total);
    return static_cast<double>(static_cast<float>(f));
}

void Synthesizer::prepareToneLists(std::int32_t codeA, bool stereo) {
    ToneList& a = toneLists_[0];
    ToneList& b = toneLists_[1];
    a.clear();
    a.append(codeA, settings_.frequencyA, 1.0f);
    b.clear();
    if (stereo) b.append(WaveformCode(settings_, 1), settings_.frequencyB, 1.0f);
}

void Synthesizer::sumTones(int channel, std::uint32_t fs, double phaseShiftCycles) {
    std::span<float> mix(mix_);
    std::fill(mix.begin(), mix.end(), 0.0f);
    const ToneList& list = toneLists_[static_cast<std::size_t>(channel)];
    const bool sweeping = settings_.sweepEnabled;
    const bool firstOfRun = buffersGenerated_ == 0;
    const double fsd = static_cast<double>(fs);
    const double phi = phaseShiftCycles;
    double& phase = phase_[channel];
    const SweepPlan plan = sweepPlan(channel, fs);
    auto sweptAt = [&plan](std::uint32_t n) { return plan.at(n); };
    const std::uint32_t seed = clock_.nowSeconds() + static_cast<std::uint32_t>(channel);

    for (std::uint32_t t = 0; t < std::min(list.count, kMaxTones); ++t) {
        const float r = list.amplitude[t];
        const double f = static_cast<double>(list.frequency[t]);
        switch (list.waveform[t]) {
        case kWaveformNone:
            std::fill(mix.begin(), mix.end(), 0.0f);
            break;
        case kWaveformSine: {
            const double shift = kTwoPi * phi;
            AccumulatePhased(
                mix, phase, kTwoPi, firstOfRun, sweeping, f, sweptAt,
                [fsd](double hz) { return kTwoPi * hz / fsd; },
                [r, shift](double p) { return static_cast<double>(r) * std::sin(p + shift); });
            break;
        }
        case kWaveformSquare: {
            const float fsf = static_cast<float>(fs);
            AccumulatePhased(
                mix, phase, 2.0, firstOfRun, sweeping, f, sweptAt,
                [fsf](double hz) { return static_cast<double>(2.0f * static_cast<float>(hz) / fsf); },
                [r, phi](double p) { return static_cast<double>(IsOdd(Whole(p + 2.0 * phi)) ? -r : r); });
            break;
        }
        case kWaveformTriangle:
            AccumulatePhased(
                mix, phase, 2.0, firstOfRun, sweeping, f, sweptAt,
                [fsd](double hz) { return hz > 0.0 ? 1.0 / (fsd / hz * 0.5) : 0.0; },
                [r, phi](double p) {
                    const double q = p + 0.5 + 2.0 * phi;
                    const double k = Whole(q);
                    const double u = q - k;
                    return static_cast<double>(r) * (IsOdd(k) ? 1.0 - 2.0 * u : 2.0 * u - 1.0);
                });
            break;
        case kWaveformSawTooth:
            AccumulatePhased(
                mix, phase, 1.0, firstOfRun, sweeping, f, sweptAt,
                [fsd](double hz) { return hz > 0.0 ? 1.0 / (fsd / hz) : 0.0; },
                [r, phi](double p) {
                    const double q = p + 0.5 + phi;
                    const double u = q - Whole(q);
                    return static_cast<double>(r) * (2.0 * u - 1.0);
                });
            break;
        case kWaveformWhiteNoise: {
            ClassicRandom random(seed);
            for (float& m : mix) {
                m = static_cast<float>(m + static_cast<double>(r) * (random.next() * kWhiteNoiseScale - 0.5));
            }
            break;
        }
        case kWaveformPinkNoise: {
            PinkNoise pink(seed);
            for (float& m : mix) m += r * pink.next();
            break;
        }
        default:
            // MultiTones, WFLibrary or an unknown code inside a tone list adds nothing.
            break;
        }
    }
}

void Synthesizer::synthesizeLibrary(int channel, std::uint32_t fs) {
    const std::vector<float>& points = channel == 0 ? library_.pointsA : library_.pointsB;
    const std::uint32_t m = static_cast<std::uint32_t>(std::min<std::size_t>(library_.pointCount, points.size()));
    const double md = static_cast<double>(m);
    const double fsd = static_cast<double>(fs);
    const bool firstOfRun = buffersGenerated_ == 0;
    const double fixed = static_cast<double>(channel == 0 ? settings_.frequencyA : settings_.frequencyB);
    double position = phase_[channel];
    const bool sweeping = settings_.sweepEnabled;
    const SweepPlan plan = sweepPlan(channel, fs);
    for (std::uint32_t n = 0; n < mix_.size(); ++n) {
        const double f = UsableFrequency(sweeping ? plan.at(n) : fixed);
        if (firstOfRun && n == 0) {
            position = 0.0;
        } else {
            position = Reduce(position + md * f / fsd, md);
        }
        if (!(position >= 0.0 && position < md)) position = 0.0;
        const std::uint32_t j = static_cast<std::uint32_t>(position);
        const std::uint32_t j1 = j + 1 == m ? 0 : j + 1;
        mix_[n] = static_cast<float>(points[j] + (points[j1] - points[j]) * (position - j));
    }
    phase_[channel] = position;
}

void Synthesizer::encode(int channel, const WaveFormat& format, const Scales& scales,
                         std::span<std::uint8_t> buffer) {
    const float peak = PeakOf(mix_);
    const std::size_t align = format.blockAlign;
    const std::size_t frames = std::min<std::size_t>(mix_.size(), format.samplesPerSecond);
    const std::size_t first = static_cast<std::size_t>(channel) * BytesPerSample(format.bitsPerSample);
    if (format.bitsPerSample == 8) {
        const float s8 = scales.s8[channel];
        for (std::size_t k = 0; k < frames; ++k) {
            const float x = mix_[k] / peak;
            buffer[k * align + first] = EncodeByte(static_cast<double>(x * s8) + 127.0);
        }
    } else {
        const float s16 = scales.s16[channel];
        for (std::size_t k = 0; k < frames; ++k) {
            const float x = mix_[k] / peak;
            StoreLe16(buffer.data() + k * align + first, static_cast<std::uint16_t>(EncodeWord(x * s16)));
        }
    }
}

bool Synthesizer::Synthesize(std::span<std::uint8_t> buffer) {
    const WaveFormat format = OutputFormatFor(settings_);
    if (buffer.size() < format.averageBytesPerSecond) return false;
    // startRun sized the mix buffer; this only catches a format changed without a new run.
    if (mix_.size() != format.samplesPerSecond) mix_.assign(format.samplesPerSecond, 0.0f);

    const float c8 = calibration_.outputFullScale8;
    const float c16 = calibration_.outputFullScale16;
    Scales scales;
    scales.s8[0] = static_cast<float>(settings_.amplitudeA) / c8 * 127;
    scales.s8[1] = static_cast<float>(settings_.amplitudeB) / c8 * 127;
    scales.s16[0] = static_cast<float>(settings_.amplitudeA) / c16 * 32767;
    scales.s16[1] = static_cast<float>(settings_.amplitudeB) / c16 * 32767;

    const std::uint32_t fs = format.samplesPerSecond;
    const bool stereo = format.channels == 2;
    const std::int32_t codeA = WaveformCode(settings_, 0);

    if (codeA == kWaveformLibrary) {
        if (!library_.loaded()) {
            shell_.showMessage(kLibraryNotLoadedMessage);
            return false;
        }
        synthesizeLibrary(0, fs);
        encode(0, format, scales, buffer);
        if (stereo) {
            synthesizeLibrary(1, fs);
            encode(1, format, scales, buffer);
        }
        return true;
    }
    if (codeA != kWaveformMultiTones) prepareToneLists(codeA, stereo);

    sumTones(0, fs, 0.0);
    encode(0, format, scales, buffer);
    if (!stereo) return true;

    double phi = 0.0;
    const ToneList& a = toneLists_[0];
    const ToneList& b = toneLists_[1];
    if (!settings_.sweepEnabled && codeA >= kWaveformSine && codeA <= kWaveformSawTooth && a.count > 0 &&
        b.count > 0 && b.frequency[0] == a.frequency[0]) {
        const std::int32_t degrees = settings_.phaseDifference < 0 ? settings_.phaseDifference + 360
                                                                   : settings_.phaseDifference;
        phi = static_cast<double>(degrees) / 360.0;
    }
    sumTones(1, fs, phi);
    encode(1, format, scales, buffer);
    return true;
}

}  // namespace tonewell

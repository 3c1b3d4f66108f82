#pragma once
// Synthetic records with known answers: per channel a tone with harmonics and white Gaussian
// noise, quantised to 8 or 16 bits on a symmetric range in volts.

#include "acquisition/SignalRecord.h"
#include "shared/DocumentNumbers.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

namespace tonewell::testing {

struct Tone {
    double frequency = 1000.0;
    double amplitude = 0.5;        // V peak of the fundamental
    std::vector<double> harmonics;  // amplitudes of h = 2, 3, … relative to the fundamental
    double noise = 0.0;            // V RMS
};

// Volts of a channel at sample i (harmonics from half the rate up left out); noise is added by
// the record.
inline std::function<double(std::size_t)> ToneWave(const Tone& tone, double rate) {
    return [tone, rate](std::size_t i) {
        const double phase = 2.0 * M_PI * tone.frequency * static_cast<double>(i) / rate;
        double v = std::sin(phase + 0.25);
        for (std::size_t k = 0; k < tone.harmonics.size() && (k + 2) * tone.frequency < rate / 2.0; ++k)
            v += tone.harmonics[k] * std::sin(static_cast<double>(k + 2) * phase + 0.3 * static_cast<double>(k));
        return tone.amplitude * v;
    };
}

// waves.size() channels (1 or 2), with each channel's noise in V RMS.
inline SignalRecord WaveRecord(int bits, double rate, std::size_t n,
                               const std::vector<std::function<double(std::size_t)>>& waves,
                               const std::vector<double>& noise, float fullScaleMillivolts = 1000.0f) {
    SignalRecord record;
    const bool stereo = waves.size() == 2;
    record.samplingType = stereo ? kSamplingTypeAB : kSamplingTypeA;
    record.riffHeader.format = MakePcmFormat(stereo ? 2 : 1, static_cast<std::uint32_t>(rate), static_cast<std::uint16_t>(bits));
    const IntervalNumber interval = NormaliseInterval(static_cast<std::uint32_t>(rate));
    record.intervalMantissa = interval.mantissa;
    record.intervalExponent = interval.exponent;
    record.sampleCount = static_cast<std::uint32_t>(n);
    const VoltageRange range = NormaliseVoltageRange(bits, fullScaleMillivolts, fullScaleMillivolts);
    record.resolutionA = record.resolutionB = static_cast<std::uint8_t>(bits);
    record.rangeMaxA = record.rangeMaxB = range.max;
    record.rangeMinA = record.rangeMinB = range.min;
    record.rangeExponentA = record.rangeExponentB = range.exponent;
    record.zeroA = record.zeroB = ZeroLevel(range.max, range.min, bits);
    const double lsb = VoltsPerCode(range.max, range.min, range.exponent, bits);
    std::mt19937_64 random(7);
    for (std::size_t c = 0; c < waves.size(); ++c) {
        std::normal_distribution<double> gauss(0.0, noise[c]);
        SampleArray& data = c == 0 ? record.dataA : record.dataB;
        data.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const double code = std::round((waves[c](i) + (noise[c] > 0 ? gauss(random) : 0.0)) / lsb) + record.zeroA;
            data[i] = static_cast<std::uint16_t>(std::clamp(code, 0.0, std::ldexp(1.0, bits) - 1.0));
        }
    }
    if (!stereo) record.dataB = std::vector<std::uint16_t>(n, 0);
    return record;
}

inline SignalRecord ToneRecord(int bits, double rate, double seconds, const std::vector<Tone>& tones,
                               float fullScaleMillivolts = 1000.0f) {
    std::vector<std::function<double(std::size_t)>> waves;
    std::vector<double> noise;
    for (const Tone& tone : tones) {
        waves.push_back(ToneWave(tone, rate));
        noise.push_back(tone.noise);
    }
    return WaveRecord(bits, rate, static_cast<std::size_t>(std::llround(seconds * rate)), waves, noise,
                      fullScaleMillivolts);
}

}  // namespace tonewell::testing

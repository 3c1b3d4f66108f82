#pragma once
// Measurements of the tone in a record, per channel: the fundamental's frequency and level, THD,
// THD+N, SINAD, SNR and ENOB, in volts through the record's calibration (as the oscilloscope
// shows them). The fundamental is the strongest component in the band, or the one given.
//
// How: a Blackman-Harris windowed power spectrum finds the fundamental's bin and a parabola
// through the logarithms of the peak and its neighbours places it within a small part of a bin.
// Then least-squares fits of a constant and harmonics 1…H at k·f0 over each half of the analysed
// stretch give the fundamental's phase in both halves, and the phase advance between them
// corrects f0 until it no longer moves: a reciprocal count of the whole stretch that the
// harmonics cannot pull, so a square's fundamental is read as well as a sine's. The converged fit
// gives each harmonic's amplitude (exact for a tone made of harmonics); what it leaves is the
// noise, band-limited in the frequency domain. A record longer than 2¹⁸ samples is analysed in
// blocks of an eighth of a second or more (three periods of the band's bottom) at distances from
// its start growing fourfold, plus one at its end: the fundamental's phase across them times the
// whole record, and each block stands for the stretch of record nearest to it in the levels and
// the noise. Components closer to the fundamental or a harmonic than about one over the block's
// length then count with it.
//
// Definitions (V1 the fundamental's RMS, Vh the harmonics', Vn the band-limited RMS of what is
// left after the constant and the harmonics 1…H are removed):
//   THD = √(Σ Vh², h = 2…H below the band's top) / V1
//   THD+N = √D / √(V1² + D) with D = Σ Vh² + Vn²; V1² + D is the band-limited record without DC
//   SINAD = V1 / √D, SNR = V1 / Vn, ENOB = (SINAD − 1.76) / 6.02.
//
// A ToneMeter keeps its FFT plans and windows between calls; one per user, any one thread.

#include "acquisition/SignalRecord.h"
#include "spectrum/Fft.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace tonewell {

inline constexpr int kDefaultMeasuredHarmonics = 10;
inline constexpr int kMaximumMeasuredHarmonics = 50;

struct MeasurementSettings {
    double fundamental = 0.0;  // Hz; 0: the strongest component in the band
    double bandLow = 20.0;     // Hz
    double bandHigh = 20000.0;  // Hz; half the sampling rate when that is lower
    int harmonics = kDefaultMeasuredHarmonics;  // highest harmonic counted, 2 … the maximum
    // The sampling clock's error in parts per million (a card whose clock runs fast gives
    // positive values): frequency readouts are multiplied by 1 + ppm·10⁻⁶.
    double clockPpm = 0.0;
};

enum class MeasurementStatus {
    Measured,
    Absent,    // the record holds no such channel
    TooShort,  // fewer samples than two periods of the fundamental (or than 64)
    Silent,    // every sample alike: nothing to measure
    NoBand,    // the band holds no frequency below half the sampling rate
    NoMemory,
};

struct ChannelMeasurement {
    MeasurementStatus status = MeasurementStatus::Absent;
    double frequency = 0.0;   // Hz, clock correction applied
    double level = 0.0;       // V, RMS of the fundamental
    double thd = 0.0;         // dB
    double thdPercent = 0.0;  // %
    double thdn = 0.0;        // dB
    double sinad = 0.0;       // dB
    double snr = 0.0;         // dB
    double enob = 0.0;        // bits
    // RMS volts of harmonics 1…H (index h − 1); 0 for those above the band's top or half the
    // sampling rate.
    std::vector<double> harmonicLevels;
    double noiseLevel = 0.0;  // V, band-limited RMS of what is left (Vn)
};

struct RecordMeasurement {
    ChannelMeasurement a, b;
};

// What a channel is when its measurement stopped, to follow "channel A is ": "silent: nothing
// to measure", ...; empty for Measured.
std::string MeasurementStatusText(MeasurementStatus status);

// The rate the record was sampled at: its wave format's rate, or 1 / interval without one (the
// interval's mantissa holds only five digits).
double SamplesPerSecondOf(const SignalRecord& record);

class ToneMeter {
public:
    // Both channels the record holds; the other is Absent.
    RecordMeasurement measure(const SignalRecord& record, const MeasurementSettings& settings);
    // One channel of volts.
    ChannelMeasurement measure(std::span<const double> volts, double samplesPerSecond,
                               const MeasurementSettings& settings);

    struct Samples;  // codes through their calibration, or volts

private:
    ChannelMeasurement measureChannel(const Samples& samples, double samplesPerSecond,
                                      const MeasurementSettings& settings);
    RealFftPlan* plan(int size);
    const std::vector<double>& window(std::size_t length);
    // The spectrum of (x − mean), times the weights when given, zero-padded to a power of two,
    // into re_ and im_; its size, or 0 when memory ran out.
    int transform(const std::vector<double>& x, double mean, const std::vector<double>* weights);

    std::map<int, RealFftPlan> plans_;
    std::map<std::size_t, std::vector<double>> windows_;
    std::vector<float> re_, im_;
};

}  // namespace tonewell

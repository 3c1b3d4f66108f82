#pragma once
// The frequency response of a system from a stimulus and the system's recorded answer to it, at
// one sampling rate: deconvolution by spectral division (regularised outside the stimulus's
// band), the impulse response, its main peak as the latency, and magnitude and phase with that
// pure delay removed on a logarithmic frequency grid. Pure computation on plain values; any
// thread (each call has its own work memory).

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tonewell {

struct ResponseAnalysisSettings {
    // The band of the grid in Hz. Both 0: the stimulus's own band, where its energy per octave
    // is at least a hundredth of the greatest (the band of a sweep).
    double fromHz = 0.0;
    double toHz = 0.0;
    int pointsPerOctave = 48;  // grid density, at least 1
};

struct FrequencyResponse {
    double sampleRate = 0.0;
    double fromHz = 0.0;  // the band of the grid
    double toHz = 0.0;
    // The grid, rising logarithmically from fromHz to toHz; each point is the mean of the
    // response over its share of the grid (1/pointsPerOctave octave).
    std::vector<double> frequencyHz;
    std::vector<double> magnitudeDb;   // 20·log10|H|: 0 dB is unity gain
    std::vector<double> phaseDegrees;  // arg H with the latency removed, -180 .. 180
    // Position of the impulse response's main peak (largest magnitude, interpolated between
    // samples), in seconds after the stimulus's first sample lies in the recording.
    double latencySeconds = 0.0;
    bool inverted = false;  // the main peak is negative: the system inverts the polarity
    // The impulse response the magnitude and phase come from (time-windowed around the main
    // peak, 0 outside), per sample: impulse[i] is the response at lag impulseStart + i samples.
    std::vector<float> impulse;
    std::int64_t impulseStart = 0;
};

struct ResponseResult {
    std::string problem;  // why nothing was computed, in the user's words; empty on success
    FrequencyResponse response;
    // The problem is sound lost, repeated or moved on its way: another take may well succeed.
    bool soundLost = false;
    bool ok() const { return problem.empty(); }
};

// The response of the system that turned `stimulus` into `recorded` (samples of full scale 1,
// the recording starting no later than the stimulus). The recording must be at least as long
// as the stimulus; a silent stimulus or recording, one in which no answer to the stimulus
// stands out, or one in which sound went missing, came twice or moved during the stimulus
// (response/SoundContinuity.h) is refused with a problem saying so.
ResponseResult ComputeResponse(std::span<const float> stimulus, std::span<const float> recorded,
                               double sampleRate, const ResponseAnalysisSettings& settings = {});

}  // namespace tonewell

#pragma once
// Whether a recording of a sweep holds sound that went missing, came twice or moved on its way
// (sound the devices or a sound server lost or repeated without counting it). Two tests on what
// the response computation has at hand; either one refuses the response, since a response with
// a hole in it is worse than none:
//   - the part of the recording the reported response does not explain (the recording less the
//     stimulus through the windowed impulse response) bursts out of what surrounds it: a step in
//     the sound, where a system that stays the same leaves only noise, distortion and reverberation
//     changing slowly along the sweep;
//   - a band of the windowed impulse response has nothing near the main peak and arrives as a
//     whole elsewhere: the part of the sweep before a jump and the part after it came back at
//     different times, while a real system starts every band of its answer near its main peak.
// Pure computation on plain values; any thread.

#include <complex>
#include <cstdint>
#include <span>

namespace tonewell {

// `unexplained` and `recorded` share their time axis (sample i of both at the same moment);
// [first, last) is where the sweep lies in the recording, `seconds` the sweep's length.
bool UnexplainedSoundBursts(std::span<const double> unexplained, std::span<const float> recorded,
                            std::int64_t first, std::int64_t last, double seconds, double rate);

// `spectrum`: bins 0 … size/2 of the windowed impulse response turned so that its main peak is at
// lag 0, `size` the transform's length; the band [from, to] in Hz.
bool BandArrivesAway(std::span<const std::complex<double>> spectrum, std::size_t size, double from, double to,
                     double rate);

}  // namespace tonewell

#pragma once
// The function page's sliders and the values they stand for. The frequency and amplitude
// sliders are vertical with position 0 at the top (the highest value) and 100 at the bottom
// (1 Hz, 1 mV); the phase slider is horizontal, 0 at -180 degrees and 100 at +180. Positions
// follow a value after every valid edit; a released slider sets its field. Pure functions.

#include <cstdint>

namespace tonewell {

inline constexpr int kSliderTop = 0;
inline constexpr int kSliderBottom = 100;

// samplingFrequency in Hz; the upper limit of the range is half of it, rounded down.
int FrequencySliderPosition(std::uint32_t frequency, std::uint32_t samplingFrequency);
std::uint32_t FrequencyFromSlider(int position, std::uint32_t samplingFrequency);

// fullScale: the output calibration of the current resolution in mV, the amplitude's limit.
int AmplitudeSliderPosition(std::uint32_t amplitude, float fullScale);
std::uint32_t AmplitudeFromSlider(int position, float fullScale);

int PhaseSliderPosition(std::int32_t phase);
std::int32_t PhaseFromSlider(int position);

}  // namespace tonewell

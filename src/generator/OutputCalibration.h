#pragma once
// The output calibration the generator reads: the millivolts that correspond to full scale at
// 8 and at 16 bit. The instrument configuration owns and persists the values; the generator
// takes a copy or a reference of this pair.

namespace tonewell {

struct OutputCalibration {
    float outputFullScale8 = 1000.0f;   // mV at full scale, 8-bit output
    float outputFullScale16 = 1000.0f;  // mV at full scale, 16-bit output

    // The factor of the given resolution (8 selects the 8-bit one, anything else the 16-bit one).
    float forBits(unsigned bits) const { return bits == 8 ? outputFullScale8 : outputFullScale16; }
};

}  // namespace tonewell

#pragma once
// Mantissa/exponent numbers of the signal record: value = mantissa x 10^(exponent - 12).
// The sampling interval (seconds) and each channel's voltage range (volts) are held this way.

#include <cstdint>

namespace tonewell {

struct IntervalNumber {
    std::uint16_t mantissa = 0;  // in (6553.5, 65535]
    std::uint8_t exponent = 12;
};

struct VoltageRange {
    std::int32_t max = 1;  // mantissa of the voltage of the largest code
    std::int32_t min = -1;  // mantissa of the voltage of the smallest code
    std::uint8_t exponent = 12;
};

// 1 / samplesPerSecond as mantissa and exponent: 44100 Hz gives 22675, 3. A rate of 0 gives
// mantissa 0, exponent 12.
IntervalNumber NormaliseInterval(std::uint32_t samplesPerSecond);

// The interval in seconds, mantissa x 10^(exponent - 12).
double IntervalSeconds(std::uint16_t mantissa, std::uint8_t exponent);

// The range of a channel of the given resolution from the input full-scale value in millivolts
// (inputFullScale8 for 8 bits, inputFullScale16 for 16 bits): 1000 mV gives 1000, -1000, 9
// (+-1 V); 5000 mV gives 500, -500, 10. Other resolutions, and a full-scale value that is not a
// positive finite number, give +-1 V (1, -1, 12). Below about 3e-7 mV the range is the smallest
// the exponent byte can express (exponent 0).
VoltageRange NormaliseVoltageRange(int bits, float inputFullScale8, float inputFullScale16);

// The code that stands for 0 V: truncation of (-min) x 2^bits / (max - min); 0 when max equals
// min. bits is taken between 0 and 30.
std::int32_t ZeroLevel(std::int32_t max, std::int32_t min, int bits);

// Volts per code of a channel: (max - min) x 10^(exponent - 12) / 2^bits.
double VoltsPerCode(std::int32_t max, std::int32_t min, std::uint8_t exponent, int bits);

// Seconds of an oscilloscope time-range code: low 12 bits mantissa, bits 12..15 e,
// value = mantissa x 10^((e - 4) x 3) (e = 4 seconds, 3 milliseconds, 2 microseconds).
float DecodeTimeRange(std::uint16_t code);

}  // namespace tonewell

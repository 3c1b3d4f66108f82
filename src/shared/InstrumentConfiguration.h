#pragma once
// The instrument configuration: calibration of the sound hardware, view colours and the display
// and processing switches. One value is owned by the composition root and read by the document,
// capture, generator and both views; UI thread only. Its file is app/InstrumentConfigurationFile.h.

#include <cstdint>

namespace tonewell {

struct InstrumentConfiguration {
    // Colours 0x00BBGGRR.
    std::uint32_t colorBackground = 0xFFFFFF;  // white
    std::uint32_t colorChannelA = 0xFF0000;    // blue
    std::uint32_t colorChannelB = 0x0000FF;    // red
    std::uint32_t colorGrid = 0x00FF00;        // green
    std::uint32_t colorOtherText = 0x006400;   // dark green
    // 0 "Display all data points", 1 "Display one data point per vertical raster line".
    std::uint16_t onePointPerRaster = 1;
    bool invertInput = false;
    bool removeDcInSpectrum = true;
    bool enablePointEdit = false;
    bool autoRunAtStartup = true;
    // Millivolts of a full-scale input (8 / 16-bit sampling) and of a full-scale output sample.
    float inputFullScale8 = 1000.0f;
    float inputFullScale16 = 1000.0f;
    float outputFullScale8 = 1000.0f;
    float outputFullScale16 = 1000.0f;

    bool operator==(const InstrumentConfiguration&) const = default;
};

}  // namespace tonewell

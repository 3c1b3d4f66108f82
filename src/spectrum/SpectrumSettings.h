#pragma once
// The spectrum view's settings as its bars and the axis scale dialogs give them. The bars'
// controller reads them into this value and hands it to the view, which configures the
// analysis and draws with it.

#include <cstdint>

#include "acquisition/SignalRecord.h"
#include "shared/RangeCode.h"
#include "spectrum/SpectrumScaleModes.h"
#include "spectrum/SpectrumType.h"
#include "spectrum/Window.h"

namespace tonewell {

struct SpectrumSettings {
    SpectrumType type = SpectrumType::Amplitude;
    int fftSize = 0;                  // N; 0 until the bar gives one
    WindowType window = WindowType::Rectangular;
    RangeCode xRange{0x5032};         // frequency or time-lag range (never "Off")
    std::uint32_t xMultiplier = 1;
    RangeCode yRangeA;                // "Off" (0) hides the channel
    RangeCode yRangeB;
    std::uint32_t yMultiplierA = 0;   // 0 "Off", 1, 2, 5, 10
    std::uint32_t yMultiplierB = 0;
    SpectrumScaleModes scales;
    friend bool operator==(const SpectrumSettings&, const SpectrumSettings&) = default;
};

// The record's sampling interval in seconds; an empty record is drawn at the rate the sampling
// bar selects (samplingRate, Hz).
double SpectrumSampleInterval(const SignalRecord& record, std::int32_t samplingRate);

}  // namespace tonewell

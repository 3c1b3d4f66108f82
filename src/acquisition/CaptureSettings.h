#pragma once
// What a start of capture reads: the sampling and trigger selections as the bars show them at
// Run/Stop. Whoever starts capture builds it (the instrument's capture link, from the front
// panel's bars); the capture engine reads no bar. A plain value.

#include <cstdint>

#include "acquisition/AcquisitionParameters.h"
#include "acquisition/DocumentFormat.h"
#include "acquisition/TriggerBar.h"
#include "shared/RangeTables.h"

namespace tonewell {

struct CaptureSettings {
    SamplingSelection sampling;            // rate, bits, channels and the record length ("Point")
    std::int32_t triggerMode = 1;          // 0 None (free run), 1 Repeat, 2 Single
    std::int32_t triggerSource = 0;        // 0 channel A, 1 channel B
    std::int32_t triggerEdge = 0;          // 0 rising, 1 falling
    std::int32_t triggerLevelPercent = 0;  // of half the full scale, as the level box reads
    std::int32_t triggerDelayPercent = 0;  // of the record length, as the delay box reads
};

// The trigger bar's part of the settings: mode, source and edge by the values of their lists'
// rows (no row: mode None, and the source and edge in use), level and delay as the integers
// their boxes start with.
void ReadTriggerBar(const TriggerBar& bar, const RangeTables& tables, const AcquisitionParameters& inUse,
                    CaptureSettings& settings);

}  // namespace tonewell

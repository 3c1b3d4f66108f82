#pragma once
// The sampling and trigger values the capture engine reads when it starts, set from the sampling
// and trigger bars. Owned by the composition root (as `acquisition`); UI thread, except
// restartPending, which the capture side moves on from 1 to 2 when the input device has closed.

#include <atomic>
#include <cstdint>

namespace tonewell {

// The longest record: the longest time range ("500s") at the highest sampling frequency. A
// longer or negative length is refused like 0 when capture starts.
inline constexpr std::int32_t kMaxRecordLength = 48'000'000;

struct AcquisitionParameters {
    std::int32_t samplingRate = 44100;    // Hz
    std::int32_t samplingBits = 16;       // 8 or 16
    std::int32_t recordLength = 441;      // samples per channel in one record
    std::int32_t triggerMode = 1;         // 0 None (free run), 1 Repeat, 2 Single
    std::int32_t triggerSource = 0;       // 0 channel A, 1 channel B
    std::int32_t triggerEdge = 0;         // 0 rising ("Up"), 1 falling ("Dn")
    std::uint16_t triggerLevelCode = 32768;  // threshold as an offset-binary sample code
    std::int32_t triggerDelaySamples = 0;    // negative: the record starts before the trigger
    bool levelEdited = false;  // the user has moved the trigger level (the oscilloscope marks it)
    // 1 while a parameter change waits for capture to close and restart; 2 once it has closed.
    std::atomic<std::int32_t> restartPending{0};
};

}  // namespace tonewell

#pragma once
// Gives the document the format the sampling bar selects and empties its record. Used by the
// sampling bar's handlers, by capture when it starts and when a panel setting is applied.
// UI thread.

#include <atomic>
#include <cstdint>

#include "acquisition/AcquisitionParameters.h"
#include "acquisition/SignalDoc.h"
#include "shared/InstrumentConfiguration.h"
#include "platform/Shell.h"

namespace tonewell {

// The sampling bar's selections.
struct SamplingSelection {
    bool bothChannels = false;            // "A&B" (else "A")
    std::int32_t samplesPerSecond = 44100;
    std::int32_t bits = 16;
    std::int32_t recordLength = 441;      // the "Point" value
};

// PCM format, channels and sampling type, interval, resolution, block align and byte rate,
// voltage ranges and zero levels from the input calibration; samplingBits and recordLength
// (0 for a length outside 0..kMaxRecordLength); the sample arrays reallocated when their size
// changes; the record emptied and marked modified. When the arrays cannot be allocated, File
// Close is posted, inputRunning cleared and false returned (the rest is left undone).
bool ConfigureDocumentFormat(CSignalDoc& document, const SamplingSelection& selection,
                             const InstrumentConfiguration& configuration, AcquisitionParameters& acquisition,
                             std::atomic<bool>& inputRunning, Shell& shell);

}  // namespace tonewell

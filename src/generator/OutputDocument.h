#pragma once
// The document as "Display in Oscilloscope" fills it: made ready for the output's format, then
// given each played second. UI thread (the document's thread).

#include <cstdint>
#include <span>

#include "acquisition/SignalDoc.h"
#include "generator/OutputCalibration.h"
#include "platform/audio/WaveFormat.h"

namespace tonewell {

// The document takes the output's format: sampling type 1 (A) or 3 (A and B), the interval of
// the sampling frequency, the resolution, the voltage ranges the output calibration gives (as
// the export's information block has them), sample arrays of one second of frames and no
// samples. False, with the document as it was, when the arrays cannot be allocated.
bool ResetDocumentToOutput(CSignalDoc& document, const WaveFormat& format, const OutputCalibration& calibration);

// One played second (PCM bytes of `format`) into the document's arrays as sample codes: an 8-bit
// sample as its byte (0..255), a 16-bit one as its signed value + 32768; A into channel A and,
// on a stereo output, B into channel B. At most as many frames as the arrays hold. The point
// count becomes the frames copied and the document is marked modified.
void CopyOutputToDocument(CSignalDoc& document, const WaveFormat& format, std::span<const std::uint8_t> second);

}  // namespace tonewell

#pragma once
// Writes a signal record as the document's RIFF/WAVE file: fmt, data (samples of the header's
// channel count), then LIST/INFO with the IBIN information block and the ICMT note, each odd
// body followed by a pad byte. Bytes are handed to a sink in large pieces.

#include "acquisition/SignalRecord.h"

#include <cstddef>
#include <functional>
#include <string>

namespace tonewell {

// Receives the file's bytes in order; false stops the writing.
using ByteSink = std::function<bool(const void* data, std::size_t size)>;

// Size of the IBIN block for a sampling type: 14 for A or B, 20 for A and B (8 for a type that
// names no channel).
std::uint32_t InfoBlockSize(std::uint8_t samplingType);

// False when the sink refused a piece.
bool WriteWaveDocument(const SignalRecord& record, const ByteSink& sink);

// The whole file in memory.
std::string EncodeWaveDocument(const SignalRecord& record);

}  // namespace tonewell

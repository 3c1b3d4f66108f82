#pragma once
// Writes a signal record as the document's RIFF/WAVE file: fmt, data (samples of the header's
// channel count), then LIST/INFO with the IBIN information block and the ICMT note, each odd
// body followed by a pad byte (the chunks around the samples by WaveChunkWriter). Bytes are
// handed to a sink in large pieces.

#include "acquisition/InfoBlock.h"
#include "acquisition/SignalRecord.h"

#include <cstddef>
#include <functional>
#include <string>

namespace tonewell {

// Receives the file's bytes in order; false stops the writing.
using ByteSink = std::function<bool(const void* data, std::size_t size)>;

// The record's IBIN block: its type, interval, ranges and version.
InfoBlock InfoBlockOf(const SignalRecord& record);

// False when the sink refused a piece, or the record is too long for a WAV file.
bool WriteWaveDocument(const SignalRecord& record, const ByteSink& sink);

// The whole file in memory.
std::string EncodeWaveDocument(const SignalRecord& record);

}  // namespace tonewell

#pragma once
// Reads a RIFF/WAVE file with the document's LIST/INFO extension (IBIN sampling and range
// information, ICMT note) into a signal record. No size field is trusted: chunks are walked
// with 64-bit counts that always move forward, and nothing is allocated beyond what the file
// holds. UI thread (or any single thread: no shared state).

#include "acquisition/SignalRecord.h"
#include "platform/ByteReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tonewell {

inline constexpr const char* kMessageNonRiff = "Non-RIFF file is currently not supported";
inline constexpr const char* kMessageNonWave = "Non-WAVE file is currently not supported";
inline constexpr const char* kMessageNonPcm = "Non-PCM-Format WAVE file is currently not supported";
inline constexpr const char* kMessageTooManyChannels =
    "A/D conversion channels greater than 2 is currently not supported";
inline constexpr const char* kMessageZeroFrequency = "Sampling Frequency can not be zero";
inline constexpr const char* kMessageTooManyBits =
    "A/D conversion presion greater than 16 bits is currently not supported";
inline constexpr const char* kMessageUnsupported = "This type of WAVE file is currently not supported";
inline constexpr const char* kMessageTruncated =
    "Sampling Duration exceeds 500 seconds, data will be truncated to 500 seconds";

// Longest record a file may load, in seconds.
inline constexpr double kMaximumRecordSeconds = 500.0;

struct WaveReadResult {
    bool accepted = false;
    bool outOfMemory = false;           // refused because the sample arrays could not be had
    std::vector<std::string> messages;  // in the order shown; a refusal's message comes last
};

// Reads the file into record. The note is emptied first; the data chunk sets format, interval,
// N, resolutions, +-1 V ranges, zero levels and samples; an IBIN block of the instrument's
// layout then replaces type, interval, ranges and version (any other IBIN is passed over);
// ICMT sets the note (at most 1023 characters, up to a NUL).
// Statistics are not computed. When refused, record may hold part of the file: read into a
// scratch record. A file without a fmt chunk before its data, or without data, is refused.
WaveReadResult ReadWaveDocument(ByteReader& source, SignalRecord& record);

// Told of the samples as the reader stores them (on the reader's thread): the record's arrays
// and format once they are set, then the frames stored so far after each block.
class WaveReadFollower {
public:
    virtual ~WaveReadFollower() = default;
    virtual void samplesStart(const SignalRecord& record, std::uint64_t frames) = 0;
    virtual void framesStored(std::uint64_t frames) = 0;
};

WaveReadResult ReadWaveDocument(ByteReader& source, SignalRecord& record, WaveReadFollower* follower);

}  // namespace tonewell

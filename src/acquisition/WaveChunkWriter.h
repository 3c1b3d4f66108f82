#pragma once
// The chunks of the instrument's WAV file around its samples, for the document's Save and the
// generator's export alike: before the samples the 44-byte header ("RIFF", the RIFF size,
// "WAVE", the 16-byte fmt chunk, "data" and the data size); after them the data's pad byte
// when the data is odd, then the LIST/INFO chunk with the IBIN info block and the ICMT note
// (and its pad byte when it is odd). The caller writes exactly dataBytes of samples between.

#include "acquisition/InfoBlock.h"
#include "platform/ByteWriter.h"
#include "platform/audio/WaveFormat.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tonewell {

// Whether a file of dataBytes of samples with this info block and a note of noteLength
// characters keeps its RIFF size within 32 bits.
bool WaveFileFits(std::uint64_t dataBytes, std::uint8_t samplingType, std::size_t noteLength);

class WaveChunkWriter {
public:
    // The sizes follow from the arguments; the file must fit (WaveFileFits). The note is
    // written as given and must outlive the writer.
    WaveChunkWriter(const WaveFormat& format, std::uint32_t dataBytes, const InfoBlock& info, std::string_view note);

    // LIST size: note length + info size + 20, plus 1 when the note is odd.
    std::uint32_t listSize() const { return listSize_; }
    // RIFF size: data bytes + 44 + LIST size, plus 1 when the data is odd.
    std::uint32_t riffSize() const;

    void writeHeader(ByteWriter& out) const;
    void writeTrailer(ByteWriter& out) const;

private:
    WaveFormat format_;
    std::uint32_t dataBytes_;
    InfoBlock info_;
    std::string_view note_;
    std::uint32_t listSize_;
};

}  // namespace tonewell

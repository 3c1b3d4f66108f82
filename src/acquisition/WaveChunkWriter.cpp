#include "acquisition/WaveChunkWriter.h"

namespace tonewell {
namespace {

// "RIFF" size "WAVE" "fmt " size, the 16-byte format, "data" size: all but the first 8 bytes
// count in the RIFF size.
constexpr std::uint64_t kHeaderBytes = 44;
// "LIST" size "INFO" "IBIN" size ... "ICMT" size: what the LIST size counts besides the info
// block and the note.
constexpr std::uint64_t kListOverhead = 20;

std::uint64_t ListSize(std::uint8_t samplingType, std::uint64_t noteLength) {
    return noteLength + InfoBlockSize(samplingType) + kListOverhead + (noteLength & 1u);
}

std::uint64_t RiffSize(std::uint64_t dataBytes, std::uint64_t listSize) {
    return dataBytes + kHeaderBytes + listSize + (dataBytes & 1u);
}

}  // namespace

bool WaveFileFits(std::uint64_t dataBytes, std::uint8_t samplingType, std::size_t noteLength) {
    if (dataBytes > 0xFFFFFFFFull || noteLength > 0xFFFFFFFFull) return false;
    return RiffSize(dataBytes, ListSize(samplingType, noteLength)) <= 0xFFFFFFFFull;
}

WaveChunkWriter::WaveChunkWriter(const WaveFormat& format, std::uint32_t dataBytes, const InfoBlock& info,
                                 std::string_view note)
    : format_(format),
      dataBytes_(dataBytes),
      info_(info),
      note_(note),
      listSize_(static_cast<std::uint32_t>(ListSize(info.samplingType, note.size()))) {}

std::uint32_t WaveChunkWriter::riffSize() const {
    return static_cast<std::uint32_t>(RiffSize(dataBytes_, listSize_));
}

void WaveChunkWriter::writeHeader(ByteWriter& out) const {
    out.text("RIFF");
    out.u32(riffSize());
    out.text("WAVE");
    out.text("fmt ");
    out.u32(16);
    out.u16(format_.formatTag);
    out.u16(format_.channels);
    out.u32(format_.samplesPerSecond);
    out.u32(format_.averageBytesPerSecond);
    out.u16(format_.blockAlign);
    out.u16(format_.bitsPerSample);
    out.text("data");
    out.u32(dataBytes_);
}

void WaveChunkWriter::writeTrailer(ByteWriter& out) const {
    if (dataBytes_ & 1u) out.u8(0);
    out.text("LIST");
    out.u32(listSize_);
    out.text("INFO");
    out.text("IBIN");
    out.u32(InfoBlockSize(info_.samplingType));
    WriteInfoBlock(out, info_);
    out.text("ICMT");
    out.u32(static_cast<std::uint32_t>(note_.size()));
    out.text(note_);
    if (note_.size() & 1u) out.u8(0);
}

}  // namespace tonewell

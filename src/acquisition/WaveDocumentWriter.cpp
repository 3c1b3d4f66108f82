#include "acquisition/WaveDocumentWriter.h"

#include "acquisition/WaveChunkWriter.h"
#include "platform/ByteOrder.h"
#include "platform/ByteWriter.h"

#include <algorithm>
#include <string_view>

namespace tonewell {
namespace {

constexpr std::size_t kBufferBytes = 1 << 20;
constexpr std::size_t kFramesPerPiece = 1 << 16;

}  // namespace

InfoBlock InfoBlockOf(const SignalRecord& r) {
    InfoBlock info;
    info.samplingType = r.samplingType;
    info.intervalMantissa = r.intervalMantissa;
    info.intervalExponent = r.intervalExponent;
    info.channelA = {r.resolutionA, r.rangeMaxA, r.rangeMinA, r.rangeExponentA};
    info.channelB = {r.resolutionB, r.rangeMaxB, r.rangeMinB, r.rangeExponentB};
    std::copy_n(r.version.begin(), info.version.size(), info.version.begin());
    return info;
}

bool WriteWaveDocument(const SignalRecord& r, const ByteSink& sink) {
    const WaveFormat& format = r.riffHeader.format;
    const bool stereo = format.channels != 1;
    const bool bytes = format.bitsPerSample < 9;
    const std::uint32_t n = std::min<std::uint64_t>(
        {r.sampleCount, r.dataA.size(), stereo ? r.dataB.size() : r.dataA.size()});
    // The data size follows the samples actually written, so the chunks after them are found.
    const std::size_t frameBytes = (stereo ? 2u : 1u) * (bytes ? 1u : 2u);
    const std::uint64_t dataBytes = static_cast<std::uint64_t>(frameBytes) * n;
    const std::string_view note(r.notes.data(), std::min<std::size_t>(r.notes.size(), kNotesCapacity - 1));
    if (!WaveFileFits(dataBytes, r.samplingType, note.size())) return false;
    const WaveChunkWriter chunks(format, static_cast<std::uint32_t>(dataBytes), InfoBlockOf(r), note);

    ByteWriter out;
    out.reserve(kBufferBytes + kFramesPerPiece * 4);
    bool ok = true;
    auto flush = [&] {
        if (ok && out.size() > 0) ok = sink(out.data().data(), out.size());
        out.clear();
        return ok;
    };

    chunks.writeHeader(out);
    const std::uint16_t* a = r.dataA.data();
    const std::uint16_t* b = r.dataB.data();
    for (std::uint32_t done = 0; done < n && ok;) {
        const std::size_t frames = std::min<std::size_t>(n - done, kFramesPerPiece);
        std::uint8_t* p = out.extend(frames * frameBytes);
        const std::uint16_t* pieceA = a + done;
        const std::uint16_t* pieceB = b + done;
        if (bytes && !stereo) {
            for (std::size_t i = 0; i < frames; ++i) p[i] = static_cast<std::uint8_t>(pieceA[i]);
        } else if (bytes) {
            for (std::size_t i = 0; i < frames; ++i) {
                p[2 * i] = static_cast<std::uint8_t>(pieceA[i]);
                p[2 * i + 1] = static_cast<std::uint8_t>(pieceB[i]);
            }
        } else if (!stereo) {
            // Stored value - 32768 as a signed word is the stored word with its top bit flipped.
            for (std::size_t i = 0; i < frames; ++i) StoreLe16(p + 2 * i, pieceA[i] ^ 0x8000);
        } else {
            for (std::size_t i = 0; i < frames; ++i) {
                StoreLe16(p + 4 * i, pieceA[i] ^ 0x8000);
                StoreLe16(p + 4 * i + 2, pieceB[i] ^ 0x8000);
            }
        }
        done += static_cast<std::uint32_t>(frames);
        if (out.size() >= kBufferBytes) flush();
    }
    chunks.writeTrailer(out);
    return flush();
}

std::string EncodeWaveDocument(const SignalRecord& record) {
    std::string bytes;
    WriteWaveDocument(record, [&bytes](const void* data, std::size_t size) {
        bytes.append(static_cast<const char*>(data), size);
        return true;
    });
    return bytes;
}

}  // namespace tonewell

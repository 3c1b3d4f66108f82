#include "acquisition/WaveDocumentWriter.h"

#include <algorithm>
#include <vector>

namespace tonewell {
namespace {

constexpr std::size_t kBufferBytes = 1 << 20;

class BufferedSink {
public:
    explicit BufferedSink(const ByteSink& sink) : sink_(sink) { buffer_.reserve(kBufferBytes); }

    void bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        buffer_.insert(buffer_.end(), p, p + size);
        if (buffer_.size() >= kBufferBytes) flush();
    }
    void id(const char* text) { bytes(text, 4); }
    void u8(std::uint8_t v) { buffer_.push_back(v); }
    void u16(std::uint16_t v) {
        buffer_.push_back(static_cast<std::uint8_t>(v));
        buffer_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    std::vector<std::uint8_t>& buffer() { return buffer_; }
    void flushIfFull() {
        if (buffer_.size() >= kBufferBytes) flush();
    }
    bool flush() {
        if (ok_ && !buffer_.empty()) ok_ = sink_(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok_;
    }
    bool ok() const { return ok_; }

private:
    const ByteSink& sink_;
    std::vector<std::uint8_t> buffer_;
    bool ok_ = true;
};

void writeChannelInfo(BufferedSink& out, std::uint8_t resolution, std::int32_t max, std::int32_t min,
                      std::uint8_t exponent) {
    out.u8(resolution);
    out.u16(static_cast<std::uint16_t>(max));
    out.u16(static_cast<std::uint16_t>(min));
    out.u8(exponent);
}

}  // namespace

std::uint32_t InfoBlockSize(std::uint8_t samplingType) {
    const bool hasA = samplingType == kSamplingTypeA || samplingType == kSamplingTypeAB;
    const bool hasB = samplingType == kSamplingTypeB || samplingType == kSamplingTypeAB;
    return 4 + (hasA ? 6 : 0) + (hasB ? 6 : 0) + 4;
}

bool WriteWaveDocument(const SignalRecord& r, const ByteSink& sink) {
    const WaveFormat& format = r.riffHeader.format;
    const bool stereo = format.channels != 1;
    const bool bytes = format.bitsPerSample < 9;
    const std::uint32_t n = std::min<std::uint64_t>(
        {r.sampleCount, r.dataA.size(), stereo ? r.dataB.size() : r.dataA.size()});
    // The data size follows the samples actually written, so the chunks after them are found.
    const std::uint64_t frameBytes = (stereo ? 2u : 1u) * (bytes ? 1u : 2u);
    const std::uint64_t d64 = frameBytes * n;
    if (d64 > 0xFFFFFFFFu - 1024 * 1024) return false;
    const std::uint32_t d = static_cast<std::uint32_t>(d64);

    const std::string_view note(r.notes.data(), std::min<std::size_t>(r.notes.size(), kNotesCapacity - 1));
    const std::uint32_t c = static_cast<std::uint32_t>(note.size());
    const std::uint32_t infoSize = InfoBlockSize(r.samplingType);
    const std::uint32_t listSize = c + infoSize + 20 + (c & 1u);
    const std::uint32_t riffSize = d + 16 + listSize + 28 + (d & 1u);

    BufferedSink out(sink);
    out.id("RIFF");
    out.u32(riffSize);
    out.id("WAVE");
    out.id("fmt ");
    out.u32(16);
    out.u16(format.formatTag);
    out.u16(format.channels);
    out.u32(format.samplesPerSecond);
    out.u32(format.averageBytesPerSecond);
    out.u16(format.blockAlign);
    out.u16(format.bitsPerSample);
    out.id("data");
    out.u32(d);

    const std::uint16_t* a = r.dataA.data();
    const std::uint16_t* b = r.dataB.data();
    auto& buffer = out.buffer();
    for (std::uint32_t i = 0; i < n; ++i) {
        if (bytes) {
            buffer.push_back(static_cast<std::uint8_t>(a[i]));
            if (stereo) buffer.push_back(static_cast<std::uint8_t>(b[i]));
        } else {
            // Stored value - 32768 as a signed word is the stored word with its top bit flipped.
            const std::uint16_t va = a[i] ^ 0x8000;
            buffer.push_back(static_cast<std::uint8_t>(va));
            buffer.push_back(static_cast<std::uint8_t>(va >> 8));
            if (stereo) {
                const std::uint16_t vb = b[i] ^ 0x8000;
                buffer.push_back(static_cast<std::uint8_t>(vb));
                buffer.push_back(static_cast<std::uint8_t>(vb >> 8));
            }
        }
        if ((i & 0xFFFF) == 0xFFFF) out.flushIfFull();
    }
    if (d & 1u) out.u8(0);

    out.id("LIST");
    out.u32(listSize);
    out.id("INFO");
    out.id("IBIN");
    out.u32(infoSize);
    out.u8(r.samplingType);
    out.u16(r.intervalMantissa);
    out.u8(r.intervalExponent);
    if (r.samplingType == kSamplingTypeA || r.samplingType == kSamplingTypeAB)
        writeChannelInfo(out, r.resolutionA, r.rangeMaxA, r.rangeMinA, r.rangeExponentA);
    if (r.samplingType == kSamplingTypeB || r.samplingType == kSamplingTypeAB)
        writeChannelInfo(out, r.resolutionB, r.rangeMaxB, r.rangeMinB, r.rangeExponentB);
    out.bytes(r.version.data(), 4);
    out.id("ICMT");
    out.u32(c);
    out.bytes(note.data(), note.size());
    if (c & 1u) out.u8(0);
    return out.flush();
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

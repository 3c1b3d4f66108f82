#include "acquisition/WaveDocumentReader.h"

#include "acquisition/InfoBlock.h"
#include "platform/ByteOrder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace tonewell {
namespace {

// Small enough to stay in the cache between the read and the conversion.
constexpr std::size_t kBlockBytes = 128 << 10;

// Stereo 16-bit frames into the two channels' codes (the signed value + 32768 is the word with
// its top bit flipped). Where the machine is little-endian its words are the file's, and eight
// frames go at a time through vector registers.
void SplitStereo16(const std::uint8_t* p, std::uint16_t* a, std::uint16_t* b, std::size_t frames) {
    std::size_t i = 0;
#if defined(__GNUC__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    typedef std::uint16_t Words __attribute__((vector_size(16)));
    const Words flip = {0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000};
    for (; i + 8 <= frames; i += 8) {
        Words first, second;
        std::memcpy(&first, p + 4 * i, sizeof first);
        std::memcpy(&second, p + 4 * i + sizeof first, sizeof second);
        const Words left = __builtin_shufflevector(first, second, 0, 2, 4, 6, 8, 10, 12, 14) ^ flip;
        const Words right = __builtin_shufflevector(first, second, 1, 3, 5, 7, 9, 11, 13, 15) ^ flip;
        std::memcpy(a + i, &left, sizeof left);
        std::memcpy(b + i, &right, sizeof right);
    }
#endif
    for (; i < frames; ++i) {
        a[i] = LoadLe16(p + 4 * i) ^ 0x8000;
        b[i] = LoadLe16(p + 4 * i + 2) ^ 0x8000;
    }
}
constexpr std::uint32_t kUnknownSize = 0xFFFFFFFFu;
constexpr std::uint32_t kNotesLimit = kNotesCapacity - 1;

bool idIs(const char (&id)[4], const char* text) { return std::memcmp(id, text, 4) == 0; }

class Reader {
public:
    Reader(ByteReader& source, SignalRecord& record, WaveReadFollower* follower)
        : source_(source), record_(record), follower_(follower) {}

    WaveReadResult run() {
        try {
            result_.accepted = walk();
        } catch (const std::bad_alloc&) {
            result_.accepted = false;
            result_.outOfMemory = true;
        }
        return std::move(result_);
    }

private:
    bool refuse(const char* message) {
        result_.messages.emplace_back(message);
        return false;
    }

    bool walk() {
        record_.notes.clear();
        char id[4];
        if (!source_.readId(id) || !idIs(id, "RIFF")) return refuse(kMessageNonRiff);
        std::uint32_t riffSize = 0;
        if (!source_.readU32(riffSize)) return refuse(kMessageUnsupported);
        if (!source_.readId(id)) return refuse(kMessageUnsupported);
        if (!idIs(id, "WAVE")) return refuse(kMessageNonWave);

        // Streamed recordings leave 0 or 0xFFFFFFFF in the RIFF size: take what the file holds.
        const std::uint64_t afterWave = source_.remaining();
        riffSizeUnknown_ = riffSize < 4 || riffSize - 4u > afterWave;
        std::int64_t remaining = riffSizeUnknown_ ? static_cast<std::int64_t>(afterWave)
                                                  : static_cast<std::int64_t>(riffSize) - 4;

        while (remaining > 7) {
            std::uint32_t size = 0;
            if (!source_.readId(id) || !source_.readU32(size)) return refuse(kMessageUnsupported);
            remaining -= 8;
            std::uint64_t consumed = size;
            if (idIs(id, "data")) {
                if (!readData(size, consumed)) return false;
                remaining = std::max<std::int64_t>(remaining - static_cast<std::int64_t>(consumed), 0);
            } else {
                if (size > static_cast<std::uint64_t>(remaining)) return refuse(kMessageUnsupported);
                remaining -= size;
                bool ok = true;
                if (idIs(id, "fmt "))
                    ok = readFormat(size);
                else if (idIs(id, "LIST"))
                    ok = readList(size);
                else if (!source_.skip(size))
                    ok = refuse(kMessageUnsupported);
                if (!ok) return false;
            }
            if ((consumed & 1u) != 0 && remaining > 0) {
                if (!source_.skip(1)) return refuse(kMessageUnsupported);
                --remaining;
            }
        }
        if (!source_.skip(static_cast<std::uint64_t>(std::max<std::int64_t>(remaining, 0))))
            return refuse(kMessageUnsupported);
        if (!haveData_) return refuse(kMessageUnsupported);
        return true;
    }

    bool readFormat(std::uint32_t size) {
        // A format after the samples would describe samples it did not read.
        if (size < 16 || haveData_) return refuse(kMessageUnsupported);
        WaveFormat format;
        source_.readU16(format.formatTag);
        if (format.formatTag != 1) return refuse(kMessageNonPcm);
        source_.readU16(format.channels);
        if (format.channels != 1 && format.channels != 2) return refuse(kMessageTooManyChannels);
        source_.readU32(format.samplesPerSecond);
        source_.readU32(format.averageBytesPerSecond);
        source_.readU16(format.blockAlign);
        if (!source_.readU16(format.bitsPerSample)) return refuse(kMessageUnsupported);
        if (format.samplesPerSecond == 0) return refuse(kMessageZeroFrequency);
        if (format.bitsPerSample > 16) return refuse(kMessageTooManyBits);
        // Frames are read as channels x (1 or 2) bytes; any other block align would walk the
        // data chunk out of step.
        if (format.bitsPerSample == 0 || format.blockAlign != format.channels * BytesPerSample(format.bitsPerSample))
            return refuse(kMessageUnsupported);
        if (!source_.skip(size - 16u)) return refuse(kMessageUnsupported);
        record_.riffHeader.format = format;
        record_.riffHeader.fmtSize = 16;
        record_.riffHeader.format.extraSize = 0;
        haveFormat_ = true;
        return true;
    }

    bool readList(std::uint32_t size) {
        if (size < 4) return refuse(kMessageUnsupported);
        char type[4];
        if (!source_.readId(type)) return refuse(kMessageUnsupported);
        if (!idIs(type, "INFO")) {
            if (!source_.skip(size - 4u)) return refuse(kMessageUnsupported);
            return true;
        }
        std::int64_t subRemaining = static_cast<std::int64_t>(size) - 4;
        while (subRemaining > 7) {
            char id[4];
            std::uint32_t subSize = 0;
            if (!source_.readId(id) || !source_.readU32(subSize)) return refuse(kMessageUnsupported);
            subRemaining -= 8;
            if (subSize > static_cast<std::uint64_t>(subRemaining)) return refuse(kMessageUnsupported);
            subRemaining -= subSize;
            bool ok = true;
            if (idIs(id, "IBIN"))
                ok = readInfo(subSize);
            else if (idIs(id, "ICMT"))
                ok = readNote(subSize);
            else if (!source_.skip(subSize))
                ok = refuse(kMessageUnsupported);
            if (!ok) return false;
            if ((subSize & 1u) != 0 && subRemaining > 0) {
                if (!source_.skip(1)) return refuse(kMessageUnsupported);
                --subRemaining;
            }
        }
        if (!source_.skip(static_cast<std::uint64_t>(subRemaining))) return refuse(kMessageUnsupported);
        return true;
    }

    // Only a block of the instrument's own layout replaces type, interval, ranges and version.
    // An IBIN of another size or with a type that names no channel (another program's, or a
    // damaged one) is passed over: the record keeps the data chunk's format and +-1 V ranges.
    bool readInfo(std::uint32_t size) {
        std::uint8_t bytes[kLargestInfoBlock];
        InfoBlock info;
        if (size > sizeof bytes) {
            if (!source_.skip(size)) return refuse(kMessageUnsupported);
            return true;
        }
        if (!source_.read(bytes, size)) return refuse(kMessageUnsupported);
        if (!DecodeInfoBlock({bytes, size}, info)) return true;
        SignalRecord& r = record_;
        r.samplingType = info.samplingType;
        r.intervalMantissa = info.intervalMantissa;
        r.intervalExponent = info.intervalExponent;
        if (info.samplingType != kSamplingTypeB) {
            r.resolutionA = info.channelA.resolution;
            r.rangeMaxA = info.channelA.rangeMax;
            r.rangeMinA = info.channelA.rangeMin;
            r.rangeExponentA = info.channelA.rangeExponent;
        }
        if (info.samplingType != kSamplingTypeA) {
            r.resolutionB = info.channelB.resolution;
            r.rangeMaxB = info.channelB.rangeMax;
            r.rangeMinB = info.channelB.rangeMin;
            r.rangeExponentB = info.channelB.rangeExponent;
        }
        std::copy(info.version.begin(), info.version.end(), r.version.begin());
        r.version[4] = '\0';
        if (info.samplingType == kSamplingTypeB) {
            r.dataB = r.dataA;
            r.zeroB = r.zeroA;
        }
        return true;
    }

    bool readNote(std::uint32_t size) {
        const std::uint32_t kept = std::min(size, kNotesLimit);
        char buffer[kNotesLimit];
        if (!source_.read(buffer, kept) || !source_.skip(size - kept)) return refuse(kMessageUnsupported);
        // The note is a NUL-terminated text: a NUL ends it.
        const char* begin = buffer;
        const char* end = std::find(begin, begin + kept, '\0');
        record_.notes.assign(begin, end);
        return true;
    }

    // consumed receives the bytes of the chunk body actually walked (the declared size, or what
    // the file holds when that is less or unknown).
    bool readData(std::uint32_t declared, std::uint64_t& consumed) {
        if (!haveFormat_) return refuse(kMessageUnsupported);
        const std::uint64_t fileLeft = source_.remaining();
        std::uint64_t d = declared;
        if (declared == kUnknownSize || (declared == 0 && riffSizeUnknown_)) d = fileLeft;
        d = std::min(d, fileLeft);
        consumed = d;

        SignalRecord& r = record_;
        const WaveFormat& format = r.riffHeader.format;
        if (format.channels == 1)
            r.samplingType = kSamplingTypeA;
        else if (format.channels == 2)
            r.samplingType = kSamplingTypeAB;
        else
            return refuse(kMessageUnsupported);
        const IntervalNumber interval = NormaliseInterval(format.samplesPerSecond);
        r.intervalMantissa = interval.mantissa;
        r.intervalExponent = interval.exponent;
        const double seconds = IntervalSeconds(interval.mantissa, interval.exponent);

        const std::uint64_t frameBytes = format.blockAlign;
        std::uint64_t n = d / frameBytes;
        if (static_cast<float>(static_cast<double>(n) * seconds) > kMaximumRecordSeconds) {
            result_.messages.emplace_back(kMessageTruncated);
            n = std::min<std::uint64_t>(n, static_cast<std::uint64_t>(kMaximumRecordSeconds / seconds));
        }
        n = std::min<std::uint64_t>(n, 0xFFFFFFFFu);
        r.sampleCount = static_cast<std::uint32_t>(n);
        r.recordDuration = static_cast<float>(static_cast<double>(n) * seconds);

        const int bits = format.bitsPerSample;
        r.resolutionA = r.resolutionB = static_cast<std::uint8_t>(bits);
        r.rangeMaxA = 1;
        r.rangeMinA = -1;
        r.rangeExponentA = 12;
        r.zeroA = 1 << (bits - 1);
        if (format.channels == 2) {
            r.rangeMaxB = 1;
            r.rangeMinB = -1;
            r.rangeExponentB = 12;
            r.zeroB = r.zeroA;
        } else {
            r.rangeMaxB = 0;
            r.rangeMinB = 0;
            r.rangeExponentB = 12;
            r.zeroB = 0;
        }

        // The samples are written as they are read, so the arrays are not zero-filled first; a
        // mono record's channel B holds zero codes.
        const std::size_t slots = static_cast<std::size_t>(std::max<std::uint64_t>(n, 1));
        r.dataA = SampleArray(slots);
        r.dataB = format.channels == 2 ? SampleArray(slots) : SampleArray(slots, 0);
        if (n == 0) r.dataA[0] = r.dataB[0] = 0;
        if (follower_ != nullptr) follower_->samplesStart(record_, n);
        if (!readFrames(n, format.channels == 2, bits <= 8)) return refuse(kMessageUnsupported);
        // The rest of the chunk (a truncated record's tail, a partial frame) is passed over so
        // that the chunks after it are read where they start.
        if (!source_.skip(d - n * frameBytes)) return refuse(kMessageUnsupported);
        haveData_ = true;
        return true;
    }

    // Reads n frames into both arrays; false, with sampleCount cut to the frames read, when the
    // file ends first.
    bool readFrames(std::uint64_t n, bool stereo, bool bytes) {
        const std::size_t frameBytes = (stereo ? 2u : 1u) * (bytes ? 1u : 2u);
        const std::size_t framesPerBlock = kBlockBytes / frameBytes;
        std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[std::min<std::uint64_t>(n, framesPerBlock) * frameBytes]);
        std::uint16_t* a = record_.dataA.data();
        std::uint16_t* b = record_.dataB.data();
        for (std::uint64_t done = 0; done < n;) {
            const std::size_t frames = static_cast<std::size_t>(std::min<std::uint64_t>(n - done, framesPerBlock));
            if (!source_.read(block.get(), frames * frameBytes)) {
                record_.sampleCount = static_cast<std::uint32_t>(done);
                return false;
            }
            const std::uint8_t* p = block.get();
            std::uint16_t* outA = a + done;
            std::uint16_t* outB = b + done;
            if (bytes && !stereo) {
                for (std::size_t i = 0; i < frames; ++i) outA[i] = p[i];
            } else if (bytes) {
                for (std::size_t i = 0; i < frames; ++i) {
                    outA[i] = p[2 * i];
                    outB[i] = p[2 * i + 1];
                }
            } else if (!stereo) {
                // Signed 16-bit value + 32768 is the little-endian word with its top bit flipped.
                for (std::size_t i = 0; i < frames; ++i) outA[i] = LoadLe16(p + 2 * i) ^ 0x8000;
            } else {
                SplitStereo16(p, outA, outB, frames);
            }
            done += frames;
            if (follower_ != nullptr) follower_->framesStored(done);
        }
        return true;
    }

    ByteReader& source_;
    SignalRecord& record_;
    WaveReadFollower* follower_;
    WaveReadResult result_;
    bool riffSizeUnknown_ = false;
    bool haveFormat_ = false;
    bool haveData_ = false;
};

}  // namespace

WaveReadResult ReadWaveDocument(ByteReader& source, SignalRecord& record) {
    return Reader(source, record, nullptr).run();
}

WaveReadResult ReadWaveDocument(ByteReader& source, SignalRecord& record, WaveReadFollower* follower) {
    return Reader(source, record, follower).run();
}

}  // namespace tonewell

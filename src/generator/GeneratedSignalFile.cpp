#include "generator/GeneratedSignalFile.h"

#include "acquisition/WaveChunkWriter.h"
#include "shared/DocumentNumbers.h"
#include "shared/NumberFormat.h"
#include "generator/Synthesizer.h"
#include "platform/ByteOrder.h"
#include "platform/ByteWriter.h"
#include "platform/SafeFileWriter.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <span>

namespace tonewell {

namespace {

constexpr double kVoltsPerCode8 = 7.874016e-06;    // 1 / 127000: mV to V over 127 codes
constexpr double kVoltsPerCode16 = 3.0518510e-08;  // 1 / 32767000

std::uint8_t ExportSamplingType(const WaveFormat& format) {
    return format.channels == 2 ? kSamplingTypeAB : kSamplingTypeA;
}

// "%f" of every value a sample code can take, built once per export: a 16-bit table holds
// 65536 texts, so the table costs less than formatting a single second of 96000 frames.
class VoltsTexts {
public:
    VoltsTexts(const WaveFormat& format, const OutputCalibration& calibration) {
        const bool eight = format.bitsPerSample == 8;
        first_ = eight ? 0 : -32768;
        const int last = eight ? 255 : 32767;
        offsets_.reserve(static_cast<std::size_t>(last - first_ + 2));
        std::string text;
        for (int code = first_; code <= last; ++code) {
            double volts;
            if (eight) {
                volts = static_cast<float>((code - 127) * calibration.outputFullScale8) * kVoltsPerCode8;
            } else {
                volts = static_cast<float>(code * calibration.outputFullScale16) * kVoltsPerCode16;
            }
            offsets_.push_back(static_cast<std::uint32_t>(text.size()));
            AppendFixed(text, volts, 6);
            longest_ = std::max<std::size_t>(longest_, text.size() - offsets_.back());
        }
        offsets_.push_back(static_cast<std::uint32_t>(text.size()));
        chars_ = std::move(text);
    }
    // Copies the text of a code to out, returns the end.
    char* put(char* out, int code) const {
        const std::size_t row = static_cast<std::size_t>(code - first_);
        const std::uint32_t begin = offsets_[row];
        const std::uint32_t length = offsets_[row + 1] - begin;
        std::memcpy(out, chars_.data() + begin, length);
        return out + length;
    }

    std::size_t longest() const { return longest_; }

private:
    std::size_t longest_ = 0;
    int first_;
    std::vector<std::uint32_t> offsets_;
    std::string chars_;
};

char* PutText(char* out, const char* text, std::size_t length) {
    std::memcpy(out, text, length);
    return out + length;
}

}  // namespace

// Up to this index the double index / rate lies so close to the exact quotient that both round
// to the same six decimals, unless the quotient is exactly half way between two of them.
constexpr std::uint64_t kExactTimeIndexLimit = 2'000'000'000ull;
constexpr std::uint64_t kMicro = 1'000'000ull;

SampleTimeText::SampleTimeText(std::uint32_t samplesPerSecond, std::uint64_t firstIndex)
    : rate_(samplesPerSecond == 0 ? 1 : samplesPerSecond),
      index_(firstIndex),
      stepQuotient_(kMicro / rate_),
      stepRemainder_(kMicro % rate_) {
    if (index_ < kExactTimeIndexLimit) {
        quotient_ = index_ * kMicro / rate_;
        remainder_ = index_ * kMicro % rate_;
    }
}

char* SampleTimeText::put(char* out) {
    const std::uint64_t index = index_++;
    if (index < kExactTimeIndexLimit) {
        const std::uint64_t twice = remainder_ * 2;
        std::uint64_t micro = quotient_ + (twice > rate_ ? 1 : 0);
        quotient_ += stepQuotient_;
        remainder_ += stepRemainder_;
        if (remainder_ >= rate_) {
            remainder_ -= rate_;
            ++quotient_;
        }
        if (twice != rate_) {
            out = std::to_chars(out, out + 24, micro / kMicro).ptr;
            *out = '.';
            std::uint64_t fraction = micro % kMicro;
            for (int digit = 6; digit >= 1; --digit) {
                out[digit] = static_cast<char>('0' + fraction % 10);
                fraction /= 10;
            }
            return out + 7;
        }
    }
    std::string text;
    AppendFixed(text, static_cast<double>(index) / static_cast<double>(rate_), 6);
    return PutText(out, text.data(), text.size());
}

void AppendSampleTime(std::string& out, std::uint64_t index, std::uint32_t samplesPerSecond) {
    char text[64];
    SampleTimeText time(samplesPerSecond, index);
    out.append(text, time.put(text));
}

std::uint64_t WaveDataBytes(const WaveFormat& format, std::uint32_t seconds) {
    return static_cast<std::uint64_t>(format.averageBytesPerSecond) * seconds;
}

bool WaveFitsRiff(const WaveFormat& format, std::uint32_t seconds) {
    return WaveFileFits(WaveDataBytes(format, seconds), ExportSamplingType(format), 0);
}

InfoBlock ExportInfoBlock(const WaveFormat& format, const OutputCalibration& calibration) {
    InfoBlock info;
    info.samplingType = ExportSamplingType(format);
    // The same numbers the document gives a record of this format, so a re-read file matches.
    const IntervalNumber interval = NormaliseInterval(format.samplesPerSecond);
    info.intervalMantissa = interval.mantissa;
    info.intervalExponent = interval.exponent;
    const VoltageRange range =
        NormaliseVoltageRange(format.bitsPerSample, calibration.outputFullScale8, calibration.outputFullScale16);
    info.channelA = {static_cast<std::uint8_t>(format.bitsPerSample), range.max, range.min, range.exponent};
    info.channelB = info.channelA;
    return info;
}

SignalWriteResult WriteGeneratedWave(SafeFileWriter& file, Synthesizer& synth, const WaveFormat& format,
                                     const OutputCalibration& calibration, std::uint32_t seconds,
                                     std::vector<std::uint8_t>& buffer) {
    // The samples stream from the synthesiser between the header and the info chunk; no note.
    const WaveChunkWriter chunks(format, static_cast<std::uint32_t>(WaveDataBytes(format, seconds)),
                                 ExportInfoBlock(format, calibration), {});
    ByteWriter header;
    chunks.writeHeader(header);
    if (!file.write(header.chars())) return SignalWriteResult::WriteFailed;
    const std::span<const std::uint8_t> second(buffer.data(), format.averageBytesPerSecond);
    for (std::uint32_t k = 0; k < seconds; ++k) {
        if (!synth.Synthesize(buffer)) return SignalWriteResult::SynthesisFailed;
        synth.countBuffer();
        if (!file.write(second.data(), second.size())) return SignalWriteResult::WriteFailed;
    }
    ByteWriter trailer;
    chunks.writeTrailer(trailer);
    return file.write(trailer.chars()) ? SignalWriteResult::Written : SignalWriteResult::WriteFailed;
}

SignalWriteResult WriteGeneratedText(SafeFileWriter& file, Synthesizer& synth, const WaveFormat& format,
                                     const OutputCalibration& calibration, std::uint32_t seconds,
                                     std::vector<std::uint8_t>& buffer) {
    const std::uint32_t rate = format.samplesPerSecond;
    const bool stereo = format.channels == 2;
    const bool eight = format.bitsPerSample == 8;
    std::string header = "Data Points\r\nSampling Frequency=";
    AppendInteger(header, rate);
    header += " Hz\r\nSampling Resolution=";
    AppendInteger(header, format.bitsPerSample);
    header += " Bits\r\nTotal Data Points=";
    AppendInteger(header, static_cast<std::int64_t>(static_cast<std::uint64_t>(rate) * seconds));
    header += stereo ? "\r\nNo.,     Time (S),     Channel A (V),     Channel B (V)\r\n"
                     : "\r\nNo.,     Time (S),     Channel A (V)\r\n";
    if (!file.write(header)) return SignalWriteResult::WriteFailed;
    if (seconds == 0) return SignalWriteResult::Written;

    const VoltsTexts volts(format, calibration);
    // Lines are gathered in blocks with room for the longest line: index and time take at most
    // 20 and 30 characters, the separators and line end 14.
    constexpr std::size_t kLinesPerBlock = 4096;
    const std::size_t lineRoom = 64 + 2 * volts.longest();
    std::vector<char> block(kLinesPerBlock * lineRoom);
    static constexpr char kSeparator[] = ",   ";
    const std::size_t align = format.blockAlign;

    for (std::uint32_t k = 0; k < seconds; ++k) {
        if (!synth.Synthesize(buffer)) return SignalWriteResult::SynthesisFailed;
        synth.countBuffer();
        SampleTimeText time(rate, static_cast<std::uint64_t>(k) * rate);
        std::uint64_t index = static_cast<std::uint64_t>(k) * rate;
        char* out = block.data();
        std::size_t lines = 0;
        for (std::uint32_t frame = 0; frame < rate; ++frame) {
            const std::uint8_t* sample = buffer.data() + frame * align;
            out = std::to_chars(out, out + 24, index++).ptr;
            out = PutText(out, kSeparator, 4);
            out = time.put(out);
            out = PutText(out, kSeparator, 4);
            if (eight) {
                out = volts.put(out, sample[0]);
                if (stereo) out = volts.put(PutText(out, kSeparator, 4), sample[1]);
            } else {
                out = volts.put(out, static_cast<std::int16_t>(LoadLe16(sample)));
                if (stereo) out = volts.put(PutText(out, kSeparator, 4), static_cast<std::int16_t>(LoadLe16(sample + 2)));
            }
            *out++ = '\r';
            *out++ = '\n';
            if (++lines == kLinesPerBlock) {
                if (!file.write(block.data(), static_cast<std::size_t>(out - block.data())))
                    return SignalWriteResult::WriteFailed;
                out = block.data();
                lines = 0;
            }
        }
        if (out != block.data() && !file.write(block.data(), static_cast<std::size_t>(out - block.data())))
            return SignalWriteResult::WriteFailed;
    }
    return SignalWriteResult::Written;
}

}  // namespace tonewell

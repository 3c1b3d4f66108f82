#pragma once
// The fields of the signal record that the document holds and its WAV files carry: samples of
// one or two channels with their resolution, voltage range and zero level, the sampling
// interval, the wave format, the note and the statistics in volts. UI thread only.

#include "shared/DefaultInitAllocator.h"
#include "shared/DocumentNumbers.h"
#include "platform/audio/WaveFormat.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tonewell {

// Sampling types of a record.
inline constexpr std::uint8_t kSamplingTypeA = 1;
inline constexpr std::uint8_t kSamplingTypeB = 2;
inline constexpr std::uint8_t kSamplingTypeAB = 3;

// Oscilloscope display types that decide how the statistics are computed.
inline constexpr int kScopeTypeSeparate = 0;
inline constexpr int kScopeTypeSum = 1;         // A+B
inline constexpr int kScopeTypeDifference = 2;  // A-B
inline constexpr int kScopeTypeXY = 3;

// The note holds at most kNotesCapacity - 1 characters.
inline constexpr std::uint32_t kNotesCapacity = 1024;

// The canonical WAVE header of the record, field by field ("RIFF", "WAVE", "fmt " and "data"
// are implied). The format, with its extra size, is the one handed to the audio input device.
struct RiffHeader {
    std::uint32_t riffSize = 0;
    std::uint32_t fmtSize = 16;
    WaveFormat format;
    std::uint32_t dataSize = 0;

    bool operator==(const RiffHeader&) const = default;
};

// A channel's codes. Sized by count alone, its samples are left for the filler to write (see
// DefaultInitAllocator); a std::vector of codes converts to it by copy.
class SampleArray : public std::vector<std::uint16_t, DefaultInitAllocator<std::uint16_t>> {
public:
    using Base = std::vector<std::uint16_t, DefaultInitAllocator<std::uint16_t>>;
    using Base::Base;
    SampleArray(const std::vector<std::uint16_t>& codes) : Base(codes.begin(), codes.end()) {}
};

struct SignalRecord {
    float recordDuration = 0.0f;  // seconds
    std::int32_t zeroA = 0;       // code of 0 V, channel A
    std::int32_t zeroB = 0;
    std::uint8_t samplingType = kSamplingTypeA;
    std::uint16_t intervalMantissa = 0;  // interval = mantissa x 10^(exponent - 12) s
    std::uint8_t intervalExponent = 12;
    std::uint32_t sampleCount = 0;  // samples per channel (N)
    std::uint8_t resolutionA = 16;  // bits
    std::int32_t rangeMaxA = 1;     // volts = mantissa x 10^(exponent - 12)
    std::int32_t rangeMinA = -1;
    std::uint8_t rangeExponentA = 12;
    // Offset-binary codes: 0..255 at 8 bits, signed value + 32768 at 16 bits. Both arrays hold
    // at least sampleCount samples (and at least one). In a record of channel B only, dataB is
    // a copy of dataA and zeroB equals zeroA.
    SampleArray dataA = SampleArray(1, 0);
    std::uint8_t resolutionB = 16;
    std::int32_t rangeMaxB = 1;
    std::int32_t rangeMinB = -1;
    std::uint8_t rangeExponentB = 12;
    SampleArray dataB = SampleArray(1, 0);
    RiffHeader riffHeader;
    std::string notes;  // printable text, at most kNotesCapacity - 1 characters
    bool displayNotes = false;
    // Statistics in volts.
    float maxA = 0.0f, minA = 0.0f, meanA = 0.0f, rmsA = 0.0f;
    float maxB = 0.0f, minB = 0.0f, meanB = 0.0f, rmsB = 0.0f;
    std::array<char, 5> version{'0', '1', '.', '0', '\0'};

    double intervalSeconds() const { return IntervalSeconds(intervalMantissa, intervalExponent); }
    VoltageRange rangeA() const { return {rangeMaxA, rangeMinA, rangeExponentA}; }
    VoltageRange rangeB() const { return {rangeMaxB, rangeMinB, rangeExponentB}; }
};

// Mean offsets of channel A / B from their zero levels in codes, written by the statistics and
// read by the spectrum's DC removal.
struct DcOffsets {
    std::int32_t dcOffsetCodesA = 0;
    std::int32_t dcOffsetCodesB = 0;
};

// Recomputes the eight statistics of record and the DC offsets for the oscilloscope type
// (0 separate, 1 A+B, 2 A-B, 3 X-Y). Sums are single-precision floats in sample order. With no
// samples the statistics are 0 and offsets keep their values.
void ComputeStatistics(SignalRecord& record, int scopeType, DcOffsets& offsets);

// The statistics of the channels shown apart (every type but A+B and A-B), gathered range of
// frames by range in record order, so that they can follow a record as it is read: the same sums
// in the same order as ComputeStatistics.
class SeparateStatistics {
public:
    // The record's format (channels, zero levels, volts per code) as the frames will have it.
    explicit SeparateStatistics(const SignalRecord& format);
    // Frames from..to-1 of the two channels' codes; ranges come in order, each where the last ended.
    void add(const std::uint16_t* a, const std::uint16_t* b, std::size_t from, std::size_t to);
    std::size_t frames() const { return frames_; }
    // The record still has the format these were gathered for and exactly their frames.
    bool fits(const SignalRecord& record) const;
    void store(SignalRecord& record, DcOffsets& offsets) const;

    struct Sums {
        float max = 0.0f;
        float min = 0.0f;
        float sum = 0.0f;
        float sumSquares = 0.0f;
    };

private:
    int samplingType_ = 0;
    bool hasA_ = false;
    bool hasB_ = false;
    std::int32_t zeroA_ = 0;
    std::int32_t zeroB_ = 0;
    float kA_ = 0.0f;
    float kB_ = 0.0f;
    Sums a_;
    Sums b_;
    std::size_t frames_ = 0;
};

}  // namespace tonewell

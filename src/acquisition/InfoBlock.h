#pragma once
// The IBIN info block of the instrument's WAV files (inside LIST/INFO): sampling type, sampling
// interval, one record per channel present (resolution, range maximum and minimum, range
// exponent) and the four version characters; 14 bytes for one channel, 20 for two. Written by
// the document's Save and the generator's export, read by the document's Open.

#include "acquisition/SignalRecord.h"
#include "platform/ByteWriter.h"

#include <array>
#include <cstdint>
#include <span>

namespace tonewell {

// Largest block: two channels.
inline constexpr std::uint32_t kLargestInfoBlock = 20;

struct ChannelInfo {
    std::uint8_t resolution = 16;  // bits per sample
    std::int32_t rangeMax = 1;     // volts = mantissa x 10^(exponent - 12); 16 bits in the file
    std::int32_t rangeMin = -1;
    std::uint8_t rangeExponent = 12;
};

struct InfoBlock {
    std::uint8_t samplingType = kSamplingTypeA;  // 1 A, 2 B, 3 A and B
    std::uint16_t intervalMantissa = 0;          // seconds = mantissa x 10^(exponent - 12)
    std::uint8_t intervalExponent = 12;
    ChannelInfo channelA;  // in the file for types 1 and 3
    ChannelInfo channelB;  // in the file for types 2 and 3
    std::array<char, 4> version{'0', '1', '.', '0'};
};

// Size of the block for a sampling type: 14 for A or B, 20 for A and B (8 for a type that
// names no channel).
std::uint32_t InfoBlockSize(std::uint8_t samplingType);

// The block's bytes: the channels its type names; range mantissas as their low 16 bits.
void WriteInfoBlock(ByteWriter& out, const InfoBlock& info);

// Reads a block. False (info unchanged) for a block that is not the instrument's: a sampling
// type outside 1..3, or a size other than the one its type needs. Ranges are sign-extended.
bool DecodeInfoBlock(std::span<const std::uint8_t> bytes, InfoBlock& info);

}  // namespace tonewell

#include "acquisition/InfoBlock.h"

#include "platform/ByteReader.h"

namespace tonewell {
namespace {

bool HasA(std::uint8_t samplingType) { return samplingType == kSamplingTypeA || samplingType == kSamplingTypeAB; }
bool HasB(std::uint8_t samplingType) { return samplingType == kSamplingTypeB || samplingType == kSamplingTypeAB; }

void WriteChannel(ByteWriter& out, const ChannelInfo& channel) {
    out.u8(channel.resolution);
    out.u16(static_cast<std::uint16_t>(channel.rangeMax));
    out.u16(static_cast<std::uint16_t>(channel.rangeMin));
    out.u8(channel.rangeExponent);
}

ChannelInfo ReadChannel(ByteReader& in) {
    ChannelInfo channel;
    channel.resolution = in.u8();
    channel.rangeMax = in.s16();
    channel.rangeMin = in.s16();
    channel.rangeExponent = in.u8();
    return channel;
}

}  // namespace

std::uint32_t InfoBlockSize(std::uint8_t samplingType) {
    return 4 + (HasA(samplingType) ? 6 : 0) + (HasB(samplingType) ? 6 : 0) + 4;
}

void WriteInfoBlock(ByteWriter& out, const InfoBlock& info) {
    out.u8(info.samplingType);
    out.u16(info.intervalMantissa);
    out.u8(info.intervalExponent);
    if (HasA(info.samplingType)) WriteChannel(out, info.channelA);
    if (HasB(info.samplingType)) WriteChannel(out, info.channelB);
    out.bytes(info.version.data(), info.version.size());
}

bool DecodeInfoBlock(std::span<const std::uint8_t> bytes, InfoBlock& info) {
    if (bytes.empty()) return false;
    const std::uint8_t type = bytes[0];
    if (!HasA(type) && !HasB(type)) return false;
    if (bytes.size() != InfoBlockSize(type)) return false;
    ByteReader in(bytes);
    InfoBlock read = info;
    read.samplingType = in.u8();
    read.intervalMantissa = in.u16();
    read.intervalExponent = in.u8();
    if (HasA(type)) read.channelA = ReadChannel(in);
    if (HasB(type)) read.channelB = ReadChannel(in);
    in.read(read.version.data(), read.version.size());
    if (in.overrun()) return false;
    info = read;
    return true;
}

}  // namespace tonewell

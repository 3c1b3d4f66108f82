#pragma once
// The little-endian order of every binary file of the instrument and of 16-bit PCM samples:
// loads and stores of 16- and 32-bit words at a byte pointer, for the field codecs (ByteReader,
// ByteWriter) and for sample loops that convert whole buffers. The caller owns the bounds.

#include <cstdint>

namespace tonewell {

inline constexpr std::uint16_t LoadLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline constexpr std::uint32_t LoadLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline constexpr void StoreLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline constexpr void StoreLe32(std::uint8_t* p, std::uint32_t v) {
    StoreLe16(p, static_cast<std::uint16_t>(v));
    StoreLe16(p + 2, static_cast<std::uint16_t>(v >> 16));
}

}  // namespace tonewell

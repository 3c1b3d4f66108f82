#include "platform/ByteWriter.h"

#include "platform/ByteOrder.h"

#include <bit>
#include <cstring>

namespace tonewell {

void ByteWriter::u16(std::uint16_t value) { StoreLe16(extend(2), value); }

void ByteWriter::u32(std::uint32_t value) { StoreLe32(extend(4), value); }

void ByteWriter::f32(float value) { u32(std::bit_cast<std::uint32_t>(value)); }

void ByteWriter::flag(bool value) { u16(value ? 1 : 0); }

void ByteWriter::bytes(const void* data, std::size_t size) {
    if (size == 0) return;
    std::memcpy(extend(size), data, size);
}

std::uint8_t* ByteWriter::extend(std::size_t count) {
    const std::size_t at = bytes_.size();
    bytes_.resize(at + count);
    return bytes_.data() + at;
}

}  // namespace tonewell

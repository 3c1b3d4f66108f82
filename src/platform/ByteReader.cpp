#include "platform/ByteReader.h"

#include "platform/ByteOrder.h"

#include <bit>
#include <cstring>

namespace tonewell {

ByteReader::ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes), size_(bytes.size()) {}

bool ByteReader::fail() {
    overrun_ = true;
    position_ = size_;
    return false;
}

bool ByteReader::read(void* out, std::size_t count) {
    if (count > remaining()) return fail();
    if (count == 0) return true;
    if (!fetch(out, count)) return fail();
    position_ += count;
    return true;
}

bool ByteReader::skip(std::uint64_t count) {
    if (count > remaining()) return fail();
    if (count == 0) return true;
    if (!advance(count)) return fail();
    position_ += count;
    return true;
}

bool ByteReader::fetch(void* out, std::size_t count) {
    std::memcpy(out, bytes_.data() + position_, count);
    return true;
}

bool ByteReader::advance(std::uint64_t) { return true; }

bool ByteReader::readU8(std::uint8_t& value) { return read(&value, 1); }

bool ByteReader::readU16(std::uint16_t& value) {
    std::uint8_t b[2];
    if (!read(b, 2)) return false;
    value = LoadLe16(b);
    return true;
}

bool ByteReader::readU32(std::uint32_t& value) {
    std::uint8_t b[4];
    if (!read(b, 4)) return false;
    value = LoadLe32(b);
    return true;
}

bool ByteReader::readF32(float& value) {
    std::uint32_t bits = 0;
    if (!readU32(bits)) return false;
    value = std::bit_cast<float>(bits);
    return true;
}

bool ByteReader::readFlag(bool& value) {
    std::uint16_t word = 0;
    if (!readU16(word)) return false;
    value = word == 1;
    return true;
}

bool ByteReader::readId(char (&id)[4]) { return read(id, 4); }

std::uint8_t ByteReader::u8() {
    std::uint8_t value = 0;
    readU8(value);
    return value;
}

std::uint16_t ByteReader::u16() {
    std::uint16_t value = 0;
    readU16(value);
    return value;
}

std::uint32_t ByteReader::u32() {
    std::uint32_t value = 0;
    readU32(value);
    return value;
}

std::int16_t ByteReader::s16() { return static_cast<std::int16_t>(u16()); }

std::int32_t ByteReader::s32() { return static_cast<std::int32_t>(u32()); }

float ByteReader::f32() {
    float value = 0.0f;
    readF32(value);
    return value;
}

bool ByteReader::flag() {
    bool value = false;
    readFlag(value);
    return value;
}

}  // namespace tonewell

#pragma once
// Little-endian fields appended one after another to a vector of bytes, the companion of
// ByteReader: binary files are written field by field with it, never as struct dumps.
// Single-threaded.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tonewell {

class ByteWriter {
public:
    void u8(std::uint8_t value) { bytes_.push_back(value); }
    void u16(std::uint16_t value);
    void u32(std::uint32_t value);
    void f32(float value);  // an IEEE single as its 32 bits
    void flag(bool value);  // a 16-bit word, 1 or 0
    void bytes(const void* data, std::size_t size);
    // Characters as they are (a chunk identifier, a note), without a terminating NUL.
    void text(std::string_view characters) { bytes(characters.data(), characters.size()); }
    // count bytes more, for the caller to fill before the next write.
    std::uint8_t* extend(std::size_t count);

    std::size_t size() const { return bytes_.size(); }
    std::span<const std::uint8_t> data() const { return bytes_; }
    // The bytes as characters, for writers that take text.
    std::string_view chars() const {
        return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
    }
    void reserve(std::size_t capacity) { bytes_.reserve(capacity); }
    // Empties the writer, keeping its memory for the next piece.
    void clear() { bytes_.clear(); }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace tonewell

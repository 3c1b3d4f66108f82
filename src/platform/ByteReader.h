#pragma once
// Little-endian fields read one after another from a run of bytes, each read checked against
// the end. A read that would run past the end reads nothing, leaves its target as it was and
// ends the reading: the reader moves to the end and reports the overrun, so no size field can
// take a reader outside its bytes and every later read fails as well. Single-threaded.

#include <cstddef>
#include <cstdint>
#include <span>

namespace tonewell {

class ByteReader {
public:
    // Reads from bytes, which must outlive the reader.
    explicit ByteReader(std::span<const std::uint8_t> bytes);
    virtual ~ByteReader() = default;
    ByteReader(const ByteReader&) = delete;
    ByteReader& operator=(const ByteReader&) = delete;

    std::uint64_t size() const { return size_; }
    std::uint64_t position() const { return position_; }
    std::uint64_t remaining() const { return size_ - position_; }
    bool has(std::uint64_t count) const { return count <= remaining(); }
    // True once a read or skip ran past the end, or the bytes could not be had.
    bool overrun() const { return overrun_; }

    // Exactly count bytes into out; false when fewer remain.
    bool read(void* out, std::size_t count);
    // Passes count bytes; false when fewer remain.
    bool skip(std::uint64_t count);

    // One field each; false, with the target unchanged, past the end.
    bool readU8(std::uint8_t& value);
    bool readU16(std::uint16_t& value);
    bool readU32(std::uint32_t& value);
    bool readF32(float& value);    // an IEEE single as its 32 bits
    bool readFlag(bool& value);    // a 16-bit word, true only when it is 1
    bool readId(char (&id)[4]);    // a chunk identifier such as "RIFF"

    // The same fields as values, 0 (false) past the end: for decoders that check overrun() once.
    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    std::int16_t s16();
    std::int32_t s32();
    float f32();
    bool flag();

protected:
    // For readers that fetch their bytes from elsewhere: they start each reading with reset.
    ByteReader() = default;
    // Reads size bytes from the start again, with no overrun.
    void reset(std::uint64_t size) {
        size_ = size;
        position_ = 0;
        overrun_ = false;
    }

    // Fills count bytes from the current position, which lies count bytes or more before the end.
    virtual bool fetch(void* out, std::size_t count);
    // Moves count bytes forward, within the bytes.
    virtual bool advance(std::uint64_t count);

private:
    bool fail();

    std::span<const std::uint8_t> bytes_;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;
    bool overrun_ = false;
};

}  // namespace tonewell

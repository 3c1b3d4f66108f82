#pragma once
// Bounded reading of a file's bytes for the WAV reader: every read and skip is checked against
// the end, so a size field can never send the reader outside the file. Single-threaded.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>

namespace tonewell {

class ByteSource {
public:
    virtual ~ByteSource() = default;

    std::uint64_t size() const { return size_; }
    std::uint64_t position() const { return position_; }
    std::uint64_t remaining() const { return size_ - position_; }

    // Reads exactly n bytes; false (position unspecified but within the file) when fewer remain
    // or the device failed.
    bool read(void* out, std::size_t n);
    // Moves n bytes forward; false when that would pass the end.
    bool skip(std::uint64_t n);

    bool readU8(std::uint8_t& v);
    bool readU16(std::uint16_t& v);
    bool readU32(std::uint32_t& v);
    bool readId(char (&id)[4]);

protected:
    // Fills n bytes from the current position, which the caller has checked lies within size.
    virtual bool readRaw(void* out, std::size_t n) = 0;
    virtual bool skipRaw(std::uint64_t n) = 0;

    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;
};

class MemoryByteSource : public ByteSource {
public:
    explicit MemoryByteSource(std::span<const std::uint8_t> bytes);

protected:
    bool readRaw(void* out, std::size_t n) override;
    bool skipRaw(std::uint64_t n) override;

private:
    std::span<const std::uint8_t> bytes_;
};

class FileByteSource : public ByteSource {
public:
    FileByteSource() = default;
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    // Opens the file for reading; false when it cannot be opened or measured.
    bool open(const std::filesystem::path& path);

protected:
    bool readRaw(void* out, std::size_t n) override;
    bool skipRaw(std::uint64_t n) override;

private:
    std::FILE* file_ = nullptr;
};

}  // namespace tonewell

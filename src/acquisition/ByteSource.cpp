#include "acquisition/ByteSource.h"

#include <cstring>

namespace tonewell {

bool ByteSource::read(void* out, std::size_t n) {
    if (n > remaining()) return false;
    if (n == 0) return true;
    if (!readRaw(out, n)) return false;
    position_ += n;
    return true;
}

bool ByteSource::skip(std::uint64_t n) {
    if (n > remaining()) return false;
    if (n == 0) return true;
    if (!skipRaw(n)) return false;
    position_ += n;
    return true;
}

bool ByteSource::readU8(std::uint8_t& v) { return read(&v, 1); }

bool ByteSource::readU16(std::uint16_t& v) {
    std::uint8_t b[2];
    if (!read(b, 2)) return false;
    v = static_cast<std::uint16_t>(b[0] | b[1] << 8);
    return true;
}

bool ByteSource::readU32(std::uint32_t& v) {
    std::uint8_t b[4];
    if (!read(b, 4)) return false;
    v = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
        static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    return true;
}

bool ByteSource::readId(char (&id)[4]) { return read(id, 4); }

MemoryByteSource::MemoryByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {
    size_ = bytes.size();
}

bool MemoryByteSource::readRaw(void* out, std::size_t n) {
    std::memcpy(out, bytes_.data() + position_, n);
    return true;
}

bool MemoryByteSource::skipRaw(std::uint64_t) { return true; }

FileByteSource::~FileByteSource() {
    if (file_ != nullptr) std::fclose(file_);
}

bool FileByteSource::open(const std::filesystem::path& path) {
    if (file_ != nullptr) std::fclose(file_);
    position_ = size_ = 0;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) return false;
    if (fseeko(file_, 0, SEEK_END) != 0) return false;
    const off_t end = ftello(file_);
    if (end < 0 || fseeko(file_, 0, SEEK_SET) != 0) return false;
    size_ = static_cast<std::uint64_t>(end);
    return true;
}

bool FileByteSource::readRaw(void* out, std::size_t n) {
    return file_ != nullptr && std::fread(out, 1, n, file_) == n;
}

bool FileByteSource::skipRaw(std::uint64_t n) {
    return file_ != nullptr && fseeko(file_, static_cast<off_t>(n), SEEK_CUR) == 0;
}

}  // namespace tonewell

#pragma once
// A ByteReader over a file: fields and blocks are read from the file as they are asked for, so
// a large file is never held whole and a skipped chunk is never read. Single-threaded.

#include "platform/ByteReader.h"

#include <cstdio>
#include <filesystem>

namespace tonewell {

class FileByteReader : public ByteReader {
public:
    FileByteReader() = default;
    ~FileByteReader() override;

    // Opens a regular file for reading and measures it; false when it cannot be (then nothing
    // can be read).
    bool open(const std::filesystem::path& path);

protected:
    bool fetch(void* out, std::size_t count) override;
    bool advance(std::uint64_t count) override;

private:
    std::FILE* file_ = nullptr;
};

}  // namespace tonewell

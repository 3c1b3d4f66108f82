#pragma once
// Writes a file so that a failure never destroys the previous one: the bytes go to a temporary
// file in the target's folder, which replaces the target only when everything was written.
// An uncommitted writer removes its temporary file when it is destroyed.

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace tonewell {

class SafeFileWriter {
public:
    explicit SafeFileWriter(std::filesystem::path target);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the temporary file; false when it cannot be created (folder missing, read-only...).
    bool open();

    // Appends bytes; false once any write has failed (later writes are ignored).
    bool write(const void* data, std::size_t size);
    bool write(std::string_view text) { return write(text.data(), text.size()); }
    bool putByte(unsigned char byte) { return write(&byte, 1); }

    // Flushes, closes and renames over the target. False, with the target untouched and the
    // temporary file removed, when anything failed.
    bool commit();

    // Throws the temporary file away; the target stays as it was.
    void abandon();

    bool ok() const { return file_ != nullptr && !failed_; }
    const std::filesystem::path& target() const { return target_; }

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

// Writes bytes to path through a SafeFileWriter; false when the file could not be written.
bool writeFileSafely(const std::filesystem::path& path, std::string_view bytes);

}  // namespace tonewell

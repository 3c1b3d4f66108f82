#include "platform/FileByteReader.h"

#include <sys/types.h>

namespace tonewell {

FileByteReader::~FileByteReader() {
    if (file_ != nullptr) std::fclose(file_);
}

bool FileByteReader::open(const std::filesystem::path& path) {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    reset(0);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    off_t end = -1;
    if (fseeko(file, 0, SEEK_END) == 0) end = ftello(file);
    if (end < 0 || fseeko(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return false;
    }
    file_ = file;
    reset(static_cast<std::uint64_t>(end));
    return true;
}

bool FileByteReader::fetch(void* out, std::size_t count) {
    return file_ != nullptr && std::fread(out, 1, count, file_) == count;
}

bool FileByteReader::advance(std::uint64_t count) {
    return file_ != nullptr && fseeko(file_, static_cast<off_t>(count), SEEK_CUR) == 0;
}

}  // namespace tonewell

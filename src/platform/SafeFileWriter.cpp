#include "platform/SafeFileWriter.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <random>
#include <system_error>

namespace tonewell {

namespace {

std::string uniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    static const unsigned long long seed =
        std::random_device{}() ^ static_cast<unsigned long long>(
                                     std::chrono::steady_clock::now().time_since_epoch().count());
    std::mt19937_64 mix(seed + counter.fetch_add(1));
    char text[24];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(mix()));
    return text;
}

constexpr std::size_t kBufferSize = 1 << 20;

}  // namespace

SafeFileWriter::SafeFileWriter(std::filesystem::path target) : target_(std::move(target)) {}

SafeFileWriter::~SafeFileWriter() { abandon(); }

bool SafeFileWriter::open() {
    abandon();
    failed_ = false;
    std::filesystem::path folder = target_.parent_path();
    std::string name = target_.filename().string();
    if (name.empty()) {
        failed_ = true;
        return false;
    }
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::filesystem::path candidate = folder / ("." + name + "." + uniqueSuffix() + ".tmp");
        // "x": never reuse a file that already exists.
        file_ = std::fopen(candidate.c_str(), "wbx");
        if (file_ != nullptr) {
            temporary_ = candidate;
            std::setvbuf(file_, nullptr, _IOFBF, kBufferSize);
            return true;
        }
        if (errno != EEXIST) break;
    }
    failed_ = true;
    return false;
}

bool SafeFileWriter::write(const void* data, std::size_t size) {
    if (file_ == nullptr || failed_) return false;
    if (size != 0 && std::fwrite(data, 1, size, file_) != size) failed_ = true;
    return !failed_;
}

bool SafeFileWriter::commit() {
    if (file_ == nullptr) return false;
    bool good = !failed_;
    if (std::fflush(file_) != 0 || std::ferror(file_)) good = false;
    if (std::fclose(file_) != 0) good = false;
    file_ = nullptr;
    if (good) {
        std::error_code error;
        std::filesystem::rename(temporary_, target_, error);
        if (!error) {
            temporary_.clear();
            return true;
        }
    }
    failed_ = true;
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    temporary_.clear();
    return false;
}

void SafeFileWriter::abandon() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
        temporary_.clear();
    }
}

bool writeFileSafely(const std::filesystem::path& path, std::string_view bytes) {
    SafeFileWriter writer(path);
    if (!writer.open()) return false;
    writer.write(bytes);
    return writer.commit();
}

}  // namespace tonewell

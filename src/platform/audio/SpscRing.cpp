#include "platform/audio/SpscRing.h"

#include <algorithm>
#include <cstring>

namespace tonewell {

namespace {
std::size_t RoundUpToPowerOfTwo(std::size_t value) {
    std::size_t result = 64;
    while (result < value) result <<= 1;
    return result;
}
}  // namespace

SpscRing::SpscRing(std::size_t minimumBytes)
    : buffer_(RoundUpToPowerOfTwo(minimumBytes)), mask_(buffer_.size() - 1) {}

std::size_t SpscRing::freeSpace() const {
    const std::uint64_t written = write_.load(std::memory_order_relaxed);
    const std::uint64_t consumed = read_.load(std::memory_order_acquire);
    return buffer_.size() - static_cast<std::size_t>(written - consumed);
}

std::size_t SpscRing::write(const std::uint8_t* source, std::size_t bytes) {
    const std::uint64_t written = write_.load(std::memory_order_relaxed);
    const std::size_t count = std::min(bytes, freeSpace());
    const std::size_t start = static_cast<std::size_t>(written) & mask_;
    const std::size_t first = std::min(count, buffer_.size() - start);
    std::memcpy(buffer_.data() + start, source, first);
    std::memcpy(buffer_.data(), source + first, count - first);
    write_.store(written + count, std::memory_order_release);
    return count;
}

void SpscRing::discardWritten() {
    discardTo_.store(write_.load(std::memory_order_relaxed), std::memory_order_release);
}

std::uint64_t SpscRing::consumerPosition() {
    const std::uint64_t consumed = read_.load(std::memory_order_relaxed);
    const std::uint64_t discard = discardTo_.load(std::memory_order_acquire);
    if (discard > consumed) {
        read_.store(discard, std::memory_order_release);
        return discard;
    }
    return consumed;
}

std::size_t SpscRing::available() {
    const std::uint64_t consumed = consumerPosition();
    return static_cast<std::size_t>(write_.load(std::memory_order_acquire) - consumed);
}

std::size_t SpscRing::read(std::uint8_t* destination, std::size_t bytes) {
    const std::uint64_t consumed = consumerPosition();
    const std::size_t ready =
        static_cast<std::size_t>(write_.load(std::memory_order_acquire) - consumed);
    const std::size_t count = std::min(bytes, ready);
    const std::size_t start = static_cast<std::size_t>(consumed) & mask_;
    const std::size_t first = std::min(count, buffer_.size() - start);
    std::memcpy(destination, buffer_.data() + start, first);
    std::memcpy(destination + first, buffer_.data(), count - first);
    read_.store(consumed + count, std::memory_order_release);
    return count;
}

std::size_t SpscRing::skip(std::size_t bytes) {
    const std::uint64_t consumed = consumerPosition();
    const std::size_t ready =
        static_cast<std::size_t>(write_.load(std::memory_order_acquire) - consumed);
    const std::size_t count = std::min(bytes, ready);
    read_.store(consumed + count, std::memory_order_release);
    return count;
}

}  // namespace tonewell

#pragma once
// A lock-free byte ring between exactly one producer thread and one consumer thread; the
// real-time audio callback is one of the two. No call locks or allocates after construction.
// Callers move whole frames, so the ring never holds a partial frame.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tonewell {

class SpscRing {
public:
    // Capacity is `minimumBytes` rounded up to a power of two (at least 64).
    explicit SpscRing(std::size_t minimumBytes);
    SpscRing(const SpscRing&) = delete;
    SpscRing& operator=(const SpscRing&) = delete;

    std::size_t capacity() const { return buffer_.size(); }

    // Producer side.
    std::size_t freeSpace() const;
    // Writes min(bytes, freeSpace()) bytes; returns how many.
    std::size_t write(const std::uint8_t* source, std::size_t bytes);
    // Asks the consumer to drop everything written so far; it does so at its next call.
    void discardWritten();

    // Consumer side.
    std::size_t available();
    // Reads min(bytes, available()) bytes; returns how many.
    std::size_t read(std::uint8_t* destination, std::size_t bytes);
    std::size_t skip(std::size_t bytes);

    // Either side: bytes consumed since construction (skipped and discarded bytes included).
    std::uint64_t bytesRead() const { return read_.load(std::memory_order_acquire); }
    std::uint64_t bytesWritten() const { return write_.load(std::memory_order_acquire); }

private:
    std::uint64_t consumerPosition();

    std::vector<std::uint8_t> buffer_;
    std::size_t mask_;
    alignas(64) std::atomic<std::uint64_t> write_{0};
    alignas(64) std::atomic<std::uint64_t> read_{0};
    alignas(64) std::atomic<std::uint64_t> discardTo_{0};
};

}  // namespace tonewell

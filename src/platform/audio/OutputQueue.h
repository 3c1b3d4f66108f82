#pragma once
// The buffers queued in an output device and the order in which their bytes play, loops
// included. Not thread-safe: the owning device guards it. Positions count bytes handed out by
// read() since construction; a buffer is finished once the last of its bytes, on the last pass
// of its loop, has been handed out.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/audio/WaveHeader.h"

namespace tonewell {

class OutputQueue {
public:
    explicit OutputQueue(std::uint32_t blockAlign) : blockAlign_(blockAlign) {}

    void push(WaveHeader& header);
    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }

    // Copies the next whole frames that play, at most `capacity` bytes; returns the bytes copied.
    std::size_t read(std::uint8_t* destination, std::size_t capacity);
    std::uint64_t position() const { return position_; }

    // Moves to `finished`, in queue order, the buffers whose last byte lies before `played`.
    void takeFinished(std::uint64_t played, std::vector<WaveHeader*>& finished);
    // Moves every queued buffer to `finished` (reset).
    void takeAll(std::vector<WaveHeader*>& finished);

private:
    static constexpr std::size_t kNoLoop = static_cast<std::size_t>(-1);
    static constexpr std::uint64_t kNotFinished = static_cast<std::uint64_t>(-1);
    struct Entry {
        WaveHeader* header;
        std::uint64_t finishedAt;
    };
    void finishThrough(std::size_t last);

    std::uint32_t blockAlign_;
    std::deque<Entry> entries_;
    std::size_t cursor_ = 0;       // entry now playing
    std::uint32_t offset_ = 0;     // bytes of it already played on this pass
    std::size_t loopStart_ = kNoLoop;
    std::uint32_t loopsLeft_ = 0;  // passes still to play, counting the current one
    std::uint64_t loopPassStart_ = 0;
    std::uint64_t position_ = 0;
};

}  // namespace tonewell

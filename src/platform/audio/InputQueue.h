#pragma once
// The buffers queued in an input device, filled in order with whole frames. Not thread-safe:
// the owning device guards it.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/audio/WaveHeader.h"

namespace tonewell {

class InputQueue {
public:
    explicit InputQueue(std::uint32_t blockAlign) : blockAlign_(blockAlign) {}

    void push(WaveHeader& header);  // bytesRecorded restarts at 0
    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }

    // Records whole frames of `source` into the queued buffers; every buffer that fills up moves
    // to `finished`. Returns the bytes taken; the rest found no buffer and is lost.
    std::size_t write(const std::uint8_t* source, std::size_t bytes,
                      std::vector<WaveHeader*>& finished);
    // Moves every queued buffer to `finished`, the partly filled one with what it holds (reset).
    void takeAll(std::vector<WaveHeader*>& finished);

private:
    std::uint32_t blockAlign_;
    std::deque<WaveHeader*> entries_;
};

}  // namespace tonewell

#include "platform/audio/InputQueue.h"

#include <algorithm>
#include <cstring>

namespace tonewell {

void InputQueue::push(WaveHeader& header) {
    header.bytesRecorded.store(0, std::memory_order_relaxed);
    entries_.push_back(&header);
}

std::size_t InputQueue::write(const std::uint8_t* source, std::size_t bytes,
                              std::vector<WaveHeader*>& finished) {
    std::size_t taken = 0;
    const std::size_t total = bytes - bytes % blockAlign_;
    while (!entries_.empty()) {
        WaveHeader& header = *entries_.front();
        const std::uint32_t capacity = UsableBytes(header, blockAlign_);
        const std::uint32_t recorded = header.bytesRecorded.load(std::memory_order_relaxed);
        const std::size_t count = std::min<std::size_t>(capacity - recorded, total - taken);
        if (count > 0) std::memcpy(header.data + recorded, source + taken, count);
        taken += count;
        header.bytesRecorded.store(recorded + static_cast<std::uint32_t>(count),
                                   std::memory_order_release);
        if (recorded + count < capacity) break;  // source used up
        finished.push_back(&header);
        entries_.pop_front();
        if (taken == total) break;
    }
    return taken;
}

void InputQueue::takeAll(std::vector<WaveHeader*>& finished) {
    for (WaveHeader* header : entries_) finished.push_back(header);
    entries_.clear();
}

}  // namespace tonewell

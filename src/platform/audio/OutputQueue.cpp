#include "platform/audio/OutputQueue.h"

#include <algorithm>
#include <cstring>

namespace tonewell {

void OutputQueue::push(WaveHeader& header) { entries_.push_back({&header, kNotFinished}); }

void OutputQueue::finishThrough(std::size_t last) {
    const std::size_t first = loopStart_ == kNoLoop ? last : loopStart_;
    for (std::size_t i = first; i <= last; ++i) entries_[i].finishedAt = position_;
    loopStart_ = kNoLoop;
}

std::size_t OutputQueue::read(std::uint8_t* destination, std::size_t capacity) {
    std::size_t copied = 0;
    const std::size_t room = capacity - capacity % blockAlign_;
    while (cursor_ < entries_.size()) {
        WaveHeader& header = *entries_[cursor_].header;
        const std::uint32_t flags = header.flags.load(std::memory_order_relaxed);
        const std::uint32_t length = UsableBytes(header, blockAlign_);
        if (offset_ == 0 && loopStart_ == kNoLoop && (flags & kWaveHeaderBeginLoop)) {
            loopStart_ = cursor_;
            loopsLeft_ = header.loops == 0 ? 1 : header.loops;
            loopPassStart_ = position_;
        }
        const std::size_t count = std::min<std::size_t>(length - offset_, room - copied);
        if (count == 0 && offset_ < length) break;  // destination full
        if (count > 0) std::memcpy(destination + copied, header.data + offset_, count);
        copied += count;
        offset_ += static_cast<std::uint32_t>(count);
        position_ += count;
        if (offset_ < length) break;

        // End of this buffer on this pass.
        offset_ = 0;
        if (loopStart_ != kNoLoop && (flags & kWaveHeaderEndLoop)) {
            const bool silentLoop = position_ == loopPassStart_;  // nothing to repeat
            if (!silentLoop && (loopsLeft_ == kLoopUntilReset || loopsLeft_ > 1)) {
                if (loopsLeft_ != kLoopUntilReset) --loopsLeft_;
                cursor_ = loopStart_;
                loopPassStart_ = position_;
                continue;
            }
            finishThrough(cursor_);
        } else if (loopStart_ == kNoLoop) {
            finishThrough(cursor_);
        }
        ++cursor_;
    }
    return copied;
}

void OutputQueue::takeFinished(std::uint64_t played, std::vector<WaveHeader*>& finished) {
    while (!entries_.empty() && entries_.front().finishedAt != kNotFinished &&
           entries_.front().finishedAt <= played) {
        finished.push_back(entries_.front().header);
        entries_.pop_front();
        --cursor_;
        if (loopStart_ != kNoLoop) --loopStart_;
    }
}

void OutputQueue::takeAll(std::vector<WaveHeader*>& finished) {
    for (const Entry& entry : entries_) finished.push_back(entry.header);
    entries_.clear();
    cursor_ = 0;
    offset_ = 0;
    loopStart_ = kNoLoop;
}

}  // namespace tonewell

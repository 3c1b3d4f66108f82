#include "acquisition/StatisticsFollower.h"

#include <system_error>

namespace tonewell {

void StatisticsFollower::samplesStart(const SignalRecord& record, std::uint64_t frames) {
    const bool first = !started_;
    started_ = true;
    if (!first) {
        // Another data chunk: whatever was followed no longer describes the record.
        finish();
        statistics_.reset();
        return;
    }
    if (frames < kMinimumFrames || scopeType_ == kScopeTypeSum || scopeType_ == kScopeTypeDifference) return;
    a_ = record.dataA.data();
    b_ = record.dataB.data();
    statistics_.emplace(record);
    try {
        thread_ = std::thread([this] { follow(); });
    } catch (const std::system_error&) {
        statistics_.reset();  // no thread to be had: summed after the read
    }
}

void StatisticsFollower::framesStored(std::uint64_t frames) {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        storedFrames_ = frames;
    }
    stored_.notify_one();
}

void StatisticsFollower::finish() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        readOver_ = true;
    }
    stored_.notify_one();
    thread_.join();
}

void StatisticsFollower::follow() {
    std::size_t done = 0;
    for (;;) {
        std::uint64_t stored;
        bool over;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            stored_.wait(lock, [&] { return storedFrames_ > done || readOver_; });
            stored = storedFrames_;
            over = readOver_;
        }
        if (stored > done) {
            statistics_->add(a_, b_, done, static_cast<std::size_t>(stored));
            done = static_cast<std::size_t>(stored);
        } else if (over) {
            return;
        }
    }
}

bool StatisticsFollower::store(SignalRecord& record, DcOffsets& offsets) {
    finish();
    if (!statistics_ || !statistics_->fits(record)) return false;
    statistics_->store(record, offsets);
    return true;
}

}  // namespace tonewell

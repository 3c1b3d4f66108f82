#pragma once
// The statistics of a record gathered on a second thread while the record is read, so that a
// long record's open costs the read and not the read plus a pass over every sample: the sums run
// in record order behind the reader, giving exactly what ComputeStatistics gives afterwards.
// Only for channels shown apart and records long enough to be worth a thread; otherwise, or when
// anything changed the record's format or length after its samples were read, the caller
// computes the statistics as before. Made and used on one thread (the reader's).

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include "acquisition/SignalRecord.h"
#include "acquisition/WaveDocumentReader.h"

namespace tonewell {

class StatisticsFollower : public WaveReadFollower {
public:
    // Records shorter than this are summed after the read: a thread is not worth it.
    static constexpr std::uint64_t kMinimumFrames = std::uint64_t{1} << 20;

    explicit StatisticsFollower(int scopeType) : scopeType_(scopeType) {}
    ~StatisticsFollower() override { finish(); }
    StatisticsFollower(const StatisticsFollower&) = delete;
    StatisticsFollower& operator=(const StatisticsFollower&) = delete;

    void samplesStart(const SignalRecord& record, std::uint64_t frames) override;
    void framesStored(std::uint64_t frames) override;

    // The read is over: the thread sums what was stored and ends.
    void finish();
    // Stores the statistics into record when they were gathered for it as it now is; false when
    // the caller has to compute them.
    bool store(SignalRecord& record, DcOffsets& offsets);

private:
    void follow();

    int scopeType_;
    bool started_ = false;  // a data chunk was followed (a second one is not)
    const std::uint16_t* a_ = nullptr;
    const std::uint16_t* b_ = nullptr;
    std::optional<SeparateStatistics> statistics_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable stored_;
    std::uint64_t storedFrames_ = 0;  // guarded by mutex_
    bool readOver_ = false;           // guarded by mutex_
};

}  // namespace tonewell

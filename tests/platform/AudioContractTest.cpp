// What every audio backend promises the instrument, run against each available backend.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/AudioTestBackends.h"

namespace tonewell {
namespace {

using namespace std::chrono_literals;
using testing::BackendUnderTest;
using testing::TestBackend;

const WaveFormat kFormat = MakePcmFormat(2, 44100, 16);

// A buffer with its own storage, filled with a quiet ramp.
struct Buffer {
    explicit Buffer(std::uint32_t frames, std::uintptr_t id = 0)
        : bytes(frames * kFormat.blockAlign) {
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i % 7);
        header.data = bytes.data();
        header.bufferLength = static_cast<std::uint32_t>(bytes.size());
        header.user = id;
    }
    std::vector<std::uint8_t> bytes;
    WaveHeader header;
};

std::uint32_t FramesOf(std::chrono::milliseconds duration) {
    return static_cast<std::uint32_t>(kFormat.samplesPerSecond * duration.count() / 1000);
}

// Done notifications as the output's callback records them.
class DoneLog {
public:
    AudioOutput::DoneCallback callback() {
        return [this](WaveHeader& header) {
            std::lock_guard lock(mutex_);
            ids_.push_back(header.user);
            flagsSeen_.push_back(header.flags.load());
        };
    }
    std::size_t count() {
        std::lock_guard lock(mutex_);
        return ids_.size();
    }
    std::vector<std::uintptr_t> ids() {
        std::lock_guard lock(mutex_);
        return ids_;
    }
    std::vector<std::uint32_t> flagsSeen() {
        std::lock_guard lock(mutex_);
        return flagsSeen_;
    }

private:
    std::mutex mutex_;
    std::vector<std::uintptr_t> ids_;
    std::vector<std::uint32_t> flagsSeen_;
};

class AudioContract : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        rig_ = std::make_unique<BackendUnderTest>(GetParam());
        if (!rig_->skipReason().empty()) GTEST_SKIP() << rig_->skipReason();
        output_ = rig_->backend().createOutput();
        input_ = rig_->backend().createInput();
    }
    void TearDown() override {
        output_.reset();
        input_.reset();
        rig_.reset();
    }

    void openOutput() { ASSERT_EQ(output_->open(kFormat, done_.callback()), AudioResult::NoError); }
    void play(Buffer& buffer) {
        ASSERT_EQ(output_->prepare(buffer.header), AudioResult::NoError);
        ASSERT_EQ(output_->write(buffer.header), AudioResult::NoError);
    }
    void openInput() {
        ASSERT_EQ(input_->open(kFormat, notifications_), AudioResult::NoError);
        auto first = notifications_.tryPop();
        ASSERT_TRUE(first.has_value());
        EXPECT_EQ(first->kind, InputNotificationKind::Open);
    }
    void record(Buffer& buffer) {
        ASSERT_EQ(input_->prepare(buffer.header), AudioResult::NoError);
        ASSERT_EQ(input_->addBuffer(buffer.header), AudioResult::NoError);
    }
    // The next notification within a bounded time of the device.
    std::optional<InputNotification> nextNotification() {
        std::optional<InputNotification> got;
        rig_->waitUntil([&] { return (got = notifications_.tryPop()).has_value(); });
        return got;
    }

    std::unique_ptr<BackendUnderTest> rig_;
    DoneLog done_;
    InputNotificationQueue notifications_;
    std::unique_ptr<AudioOutput> output_;
    std::unique_ptr<AudioInput> input_;
};

TEST_P(AudioContract, OneDoneNotificationPerBufferInQueueOrder) {
    openOutput();
    Buffer a(FramesOf(20ms), 1), b(FramesOf(20ms), 2), c(FramesOf(20ms), 3);
    play(a);
    play(b);
    play(c);
    ASSERT_TRUE(rig_->waitUntil([&] { return done_.count() == 3; }));
    rig_->letPass(100ms);
    EXPECT_EQ(done_.ids(), (std::vector<std::uintptr_t>{1, 2, 3}));
    for (std::uint32_t flags : done_.flagsSeen()) {
        EXPECT_TRUE(flags & kWaveHeaderDone);
        EXPECT_FALSE(flags & kWaveHeaderInQueue);
        EXPECT_TRUE(flags & kWaveHeaderPrepared);
    }
    EXPECT_EQ(output_->unprepare(a.header), AudioResult::NoError);
    EXPECT_FALSE(a.header.flags.load() & kWaveHeaderPrepared);
    EXPECT_EQ(output_->close(), AudioResult::NoError);
}

TEST_P(AudioContract, LoopingBufferPlaysUntilReset) {
    openOutput();
    Buffer loop(FramesOf(10ms), 7);
    loop.header.flags = kWaveHeaderBeginLoop | kWaveHeaderEndLoop;
    loop.header.loops = kLoopUntilReset;
    play(loop);
    rig_->letPass(300ms);
    EXPECT_EQ(done_.count(), 0u);
    EXPECT_TRUE(loop.header.flags.load() & kWaveHeaderInQueue);
    EXPECT_EQ(output_->reset(), AudioResult::NoError);
    EXPECT_EQ(done_.ids(), std::vector<std::uintptr_t>{7});
    EXPECT_TRUE(loop.header.flags.load() & kWaveHeaderDone);
    EXPECT_EQ(output_->close(), AudioResult::NoError);
}

TEST_P(AudioContract, CountedLoopEndsAndTheNextBufferFollows) {
    openOutput();
    Buffer loop(FramesOf(10ms), 1), after(FramesOf(10ms), 2);
    loop.header.flags = kWaveHeaderBeginLoop | kWaveHeaderEndLoop;
    loop.header.loops = 3;
    play(loop);
    play(after);
    ASSERT_TRUE(rig_->waitUntil([&] { return done_.count() == 2; }));
    EXPECT_EQ(done_.ids(), (std::vector<std::uintptr_t>{1, 2}));
    EXPECT_EQ(output_->close(), AudioResult::NoError);
}

TEST_P(AudioContract, ResetReturnsEveryQueuedBufferBeforeItReturns) {
    openOutput();
    Buffer a(kFormat.samplesPerSecond, 1), b(kFormat.samplesPerSecond, 2),
        c(kFormat.samplesPerSecond, 3);
    play(a);
    play(b);
    play(c);
    EXPECT_EQ(output_->reset(), AudioResult::NoError);
    EXPECT_EQ(done_.ids(), (std::vector<std::uintptr_t>{1, 2, 3}));
    for (Buffer* buffer : {&a, &b, &c}) {
        EXPECT_EQ(buffer->header.flags.load() & (kWaveHeaderDone | kWaveHeaderInQueue),
                  kWaveHeaderDone);
        EXPECT_EQ(output_->unprepare(buffer->header), AudioResult::NoError);
    }
    // Nothing more arrives for buffers that were returned.
    rig_->letPass(100ms);
    EXPECT_EQ(done_.count(), 3u);
    EXPECT_EQ(output_->close(), AudioResult::NoError);
}

TEST_P(AudioContract, ResetWhoseHandlersDoNotReturnInTimeReportsNoDriver) {
    rig_->setHandlerWait(100ms);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> entered{false};
    std::atomic<int> dones{0};
    ASSERT_EQ(output_->open(kFormat,
                            [&](WaveHeader& header) {
                                if (header.user == 1) {
                                    entered = true;
                                    released.wait_for(10s);
                                }
                                ++dones;
                            }),
              AudioResult::NoError);
    Buffer a(FramesOf(10ms), 1), b(kFormat.samplesPerSecond, 2);
    play(a);
    play(b);
    ASSERT_TRUE(rig_->waitUntil([&] { return entered.load(); }));
    // b's handler waits behind a's, which does not return.
    EXPECT_EQ(output_->reset(), AudioResult::NoDriver);
    EXPECT_FALSE(b.header.flags.load() & kWaveHeaderInQueue);
    release.set_value();
    ASSERT_TRUE(rig_->waitUntil([&] { return dones.load() == 2; }));
    EXPECT_EQ(output_->reset(), AudioResult::NoError);
    EXPECT_EQ(output_->close(), AudioResult::NoError);
}

TEST_P(AudioContract, CloseWaitsForResetAndThenRefusesEveryCall) {
    openOutput();
    Buffer a(kFormat.samplesPerSecond, 1);
    play(a);
    EXPECT_EQ(output_->close(), AudioResult::StillPlaying);
    EXPECT_EQ(output_->reset(), AudioResult::NoError);
    EXPECT_EQ(output_->close(), AudioResult::NoError);
    EXPECT_EQ(output_->prepare(a.header), AudioResult::InvalidHandle);
    EXPECT_EQ(output_->write(a.header), AudioResult::InvalidHandle);
    EXPECT_EQ(output_->unprepare(a.header), AudioResult::InvalidHandle);
    EXPECT_EQ(output_->reset(), AudioResult::InvalidHandle);
    EXPECT_EQ(output_->close(), AudioResult::InvalidHandle);
    // And it opens again.
    openOutput();
    Buffer b(FramesOf(10ms), 2);
    play(b);
    ASSERT_TRUE(rig_->waitUntil([&] { return done_.count() == 2; }));
    EXPECT_EQ(output_->close(), AudioResult::NoError);
}

TEST_P(AudioContract, OutputRefusesMisuseWithTheRightCodes) {
    EXPECT_EQ(output_->open(MakePcmFormat(3, 44100, 16), done_.callback()), AudioResult::BadFormat);
    WaveFormat inconsistent = kFormat;
    inconsistent.blockAlign = 3;
    EXPECT_EQ(output_->open(inconsistent, done_.callback()), AudioResult::BadFormat);
    openOutput();
    EXPECT_EQ(output_->open(kFormat, done_.callback()), AudioResult::Allocated);
    Buffer a(FramesOf(500ms), 1);
    EXPECT_EQ(output_->write(a.header), AudioResult::Unprepared);
    play(a);
    EXPECT_EQ(output_->write(a.header), AudioResult::StillPlaying);
    EXPECT_EQ(output_->unprepare(a.header), AudioResult::StillPlaying);
    EXPECT_EQ(output_->prepare(a.header), AudioResult::StillPlaying);
    WaveHeader empty;
    empty.bufferLength = 100;
    EXPECT_EQ(output_->prepare(empty), AudioResult::InvalidHandle);
    EXPECT_EQ(output_->reset(), AudioResult::NoError);
    EXPECT_EQ(done_.count(), 1u);
    EXPECT_EQ(output_->close(), AudioResult::NoError);
}

// A sweep whose next buffer comes too late: the device plays silence until it arrives.
TEST_P(AudioContract, AnOutputThatRunsOutCountsAnUnderrunWhenTheSoundGoesOn) {
    const bool exact = GetParam() != TestBackend::PortAudioNullSink;  // no feed of its own
    openOutput();
    EXPECT_EQ(output_->underrunCount(), 0u);
    Buffer a(FramesOf(20ms), 1), b(FramesOf(20ms), 2), c(FramesOf(20ms), 3);
    play(a);
    ASSERT_TRUE(rig_->waitUntil([&] { return done_.count() == 1; }));
    rig_->letPass(100ms);
    // Silence after the last buffer is no underrun as long as nothing follows it.
    if (exact) {
        EXPECT_EQ(output_->underrunCount(), 0u);
    }
    const std::uint64_t beforeGap = output_->underrunCount();
    play(b);
    ASSERT_TRUE(rig_->waitUntil([&] { return done_.count() == 2; }));
    if (exact) {
        EXPECT_EQ(output_->underrunCount(), 1u);
    } else {
        EXPECT_GT(output_->underrunCount(), beforeGap);
    }
    // After a reset the next buffer starts the sound afresh.
    rig_->letPass(100ms);
    const std::uint64_t beforeReset = output_->underrunCount();
    EXPECT_EQ(output_->reset(), AudioResult::NoError);
    play(c);
    ASSERT_TRUE(rig_->waitUntil([&] { return done_.count() == 3; }));
    if (exact) {
        EXPECT_EQ(output_->underrunCount(), beforeReset);
    }
    EXPECT_EQ(output_->close(), AudioResult::NoError);
    const std::uint64_t atClose = output_->underrunCount();
    EXPECT_GE(atClose, 1u);
    openOutput();
    EXPECT_EQ(output_->underrunCount(), 0u);
}

TEST_P(AudioContract, SoundWithNoQueuedBufferCountsAnOverrunPerStretch) {
    const bool exact = GetParam() != TestBackend::PortAudioNullSink;
    openInput();
    rig_->letPass(50ms);
    EXPECT_EQ(input_->overrunCount(), 0u);  // nothing is recorded before start
    ASSERT_EQ(input_->start(), AudioResult::NoError);
    ASSERT_TRUE(rig_->waitUntil([&] { return input_->overrunCount() >= 1; }));
    rig_->letPass(50ms);
    if (exact) {
        EXPECT_EQ(input_->overrunCount(), 1u);
    }
    // A buffer takes the sound and ends the stretch; once it is full the next one begins.
    Buffer a(FramesOf(10ms), 1);
    record(a);
    auto got = nextNotification();
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->header, &a.header);
    ASSERT_TRUE(rig_->waitUntil([&] { return input_->overrunCount() >= 2; }));
    rig_->letPass(50ms);
    if (exact) {
        EXPECT_EQ(input_->overrunCount(), 2u);
    }
    // Not recording after a reset: nothing is lost.
    EXPECT_EQ(input_->reset(), AudioResult::NoError);
    const std::uint64_t atReset = input_->overrunCount();
    rig_->letPass(50ms);
    EXPECT_EQ(input_->overrunCount(), atReset);
    EXPECT_EQ(input_->close(), AudioResult::NoError);
    EXPECT_EQ(input_->overrunCount(), atReset);
}

TEST_P(AudioContract, InputFillsBuffersInOrderAndCountsBytesRecorded) {
    openInput();
    Buffer a(FramesOf(10ms), 1), b(FramesOf(10ms), 2), c(FramesOf(10ms), 3);
    record(a);
    record(b);
    record(c);
    ASSERT_EQ(input_->start(), AudioResult::NoError);
    for (std::uintptr_t id : {1, 2, 3}) {
        auto got = nextNotification();
        ASSERT_TRUE(got.has_value());
        ASSERT_EQ(got->kind, InputNotificationKind::Data);
        EXPECT_EQ(got->header->user, id);
        EXPECT_EQ(got->header->bytesRecorded.load(), got->header->bufferLength);
        EXPECT_EQ(got->header->flags.load() & (kWaveHeaderDone | kWaveHeaderInQueue),
                  kWaveHeaderDone);
    }
    EXPECT_EQ(input_->reset(), AudioResult::NoError);
    EXPECT_EQ(input_->close(), AudioResult::NoError);
    auto last = notifications_.tryPop();
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->kind, InputNotificationKind::Close);
}

TEST_P(AudioContract, InputResetReturnsQueuedBuffersWithWhatTheyHold) {
    openInput();
    Buffer a(kFormat.samplesPerSecond, 1), b(kFormat.samplesPerSecond, 2);
    record(a);
    record(b);
    ASSERT_EQ(input_->start(), AudioResult::NoError);
    rig_->waitUntil([&] { return a.header.bytesRecorded.load() > 0; });
    EXPECT_EQ(input_->close(), AudioResult::StillPlaying);
    EXPECT_EQ(input_->reset(), AudioResult::NoError);
    ASSERT_EQ(notifications_.size(), 2u);
    auto first = notifications_.tryPop();
    auto second = notifications_.tryPop();
    EXPECT_EQ(first->header, &a.header);
    EXPECT_EQ(second->header, &b.header);
    const std::uint32_t recorded = a.header.bytesRecorded.load();
    EXPECT_GT(recorded, 0u);
    EXPECT_LT(recorded, a.header.bufferLength);
    EXPECT_EQ(recorded % kFormat.blockAlign, 0u);
    EXPECT_EQ(b.header.bytesRecorded.load(), 0u);
    EXPECT_TRUE(a.header.flags.load() & kWaveHeaderDone);
    EXPECT_TRUE(b.header.flags.load() & kWaveHeaderDone);
    EXPECT_EQ(input_->unprepare(a.header), AudioResult::NoError);
    EXPECT_EQ(input_->close(), AudioResult::NoError);
    EXPECT_EQ(notifications_.tryPop()->kind, InputNotificationKind::Close);
    EXPECT_EQ(input_->addBuffer(b.header), AudioResult::InvalidHandle);
    EXPECT_EQ(input_->start(), AudioResult::InvalidHandle);
}

TEST_P(AudioContract, InputRecordsNothingBeforeStartOrAfterReset) {
    openInput();
    Buffer a(FramesOf(10ms), 1);
    record(a);
    rig_->letPass(100ms);
    EXPECT_EQ(notifications_.size(), 0u);
    EXPECT_EQ(a.header.bytesRecorded.load(), 0u);
    EXPECT_EQ(input_->reset(), AudioResult::NoError);
    ASSERT_EQ(notifications_.size(), 1u);
    notifications_.tryPop();
    // Queued again after the reset, it stays empty until the next start.
    EXPECT_EQ(input_->addBuffer(a.header), AudioResult::NoError);
    rig_->letPass(100ms);
    EXPECT_EQ(a.header.bytesRecorded.load(), 0u);
    EXPECT_EQ(input_->addBuffer(a.header), AudioResult::StillPlaying);
    ASSERT_EQ(input_->start(), AudioResult::NoError);
    auto got = nextNotification();
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->header->bytesRecorded.load(), a.header.bufferLength);
    EXPECT_EQ(input_->reset(), AudioResult::NoError);
    EXPECT_EQ(input_->close(), AudioResult::NoError);
}

TEST_P(AudioContract, InputRefusesMisuseWithTheRightCodes) {
    Buffer a(FramesOf(10ms), 1);
    EXPECT_EQ(input_->prepare(a.header), AudioResult::InvalidHandle);
    EXPECT_EQ(input_->start(), AudioResult::InvalidHandle);
    EXPECT_EQ(input_->open(MakePcmFormat(2, 44100, 24), notifications_), AudioResult::BadFormat);
    EXPECT_EQ(notifications_.size(), 0u);
    openInput();
    EXPECT_EQ(input_->open(kFormat, notifications_), AudioResult::Allocated);
    EXPECT_EQ(input_->addBuffer(a.header), AudioResult::Unprepared);
    EXPECT_EQ(input_->close(), AudioResult::NoError);
}

TEST_P(AudioContract, DestroyingOpenDevicesReturnsTheirBuffers) {
    openOutput();
    openInput();
    Buffer out(kFormat.samplesPerSecond, 1), in(kFormat.samplesPerSecond, 2);
    play(out);
    record(in);
    ASSERT_EQ(input_->start(), AudioResult::NoError);
    output_.reset();
    input_.reset();
    EXPECT_EQ(done_.count(), 1u);
    EXPECT_TRUE(out.header.flags.load() & kWaveHeaderDone);
    EXPECT_TRUE(in.header.flags.load() & kWaveHeaderDone);
    ASSERT_EQ(notifications_.size(), 2u);
    EXPECT_EQ(notifications_.tryPop()->kind, InputNotificationKind::Data);
    EXPECT_EQ(notifications_.tryPop()->kind, InputNotificationKind::Close);
}

// The sweep's pattern: every buffer that comes back is queued again at once, so the destructor's
// own reset hands the handler buffers to re-queue.
TEST_P(AudioContract, DestroyingAnOutputWhileItsDoneHandlerRequeuesClosesIt) {
    AudioOutput* device = output_.get();
    std::atomic<int> handled{0}, refused{0};
    ASSERT_EQ(device->open(kFormat,
                           [&, device](WaveHeader& header) {
                               ++handled;
                               device->unprepare(header);
                               device->prepare(header);
                               if (device->write(header) == AudioResult::InvalidHandle) ++refused;
                           }),
              AudioResult::NoError);
    Buffer a(FramesOf(10ms), 1), b(FramesOf(10ms), 2);
    play(a);
    play(b);
    ASSERT_TRUE(rig_->waitUntil([&] { return handled.load() >= 4; }));
    output_.reset();
    EXPECT_GE(refused.load(), 1);
    for (Buffer* buffer : {&a, &b})
        EXPECT_EQ(buffer->header.flags.load() & (kWaveHeaderDone | kWaveHeaderInQueue),
                  kWaveHeaderDone);
    // Closed, not left busy: the backend opens the next device.
    auto next = rig_->backend().createOutput();
    EXPECT_EQ(next->open(kFormat, [](WaveHeader&) {}), AudioResult::NoError);
    // And nothing plays from the old buffers any more.
    const int handledAtDestruction = handled.load();
    rig_->letPass(100ms);
    EXPECT_EQ(handled.load(), handledAtDestruction);
}

TEST_P(AudioContract, ADoneHandlerMayDestroyItsOwnDevice) {
    std::atomic<bool> destroyed{false};
    ASSERT_EQ(output_->open(kFormat,
                            [&](WaveHeader& header) {
                                if (header.user != 1) return;
                                output_.reset();
                                destroyed = true;
                            }),
              AudioResult::NoError);
    Buffer a(FramesOf(10ms), 1), b(kFormat.samplesPerSecond, 2);
    play(a);
    play(b);
    ASSERT_TRUE(rig_->waitUntil([&] { return destroyed.load(); }));
    EXPECT_EQ(b.header.flags.load() & (kWaveHeaderDone | kWaveHeaderInQueue), kWaveHeaderDone);
    auto next = rig_->backend().createOutput();
    EXPECT_EQ(next->open(kFormat, [](WaveHeader&) {}), AudioResult::NoError);
}

// The capture thread's pattern: each returned buffer is queued again until the close
// notification arrives, also while the device is being destroyed.
TEST_P(AudioContract, DestroyingAnInputWhileTheCaptureThreadRequeuesClosesIt) {
    InputNotificationQueue captured(InputNotificationQueue::Consumer::OwnThread);
    ASSERT_EQ(input_->open(kFormat, captured), AudioResult::NoError);
    AudioInput* device = input_.get();
    Buffer a(FramesOf(10ms), 1), b(FramesOf(10ms), 2), c(FramesOf(10ms), 3);
    record(a);
    record(b);
    record(c);
    std::atomic<int> handled{0}, refused{0};
    std::atomic<bool> closed{false};
    std::thread capture([&] {
        for (int idle = 0; idle < 1000;) {  // gives up after 10 s without a notification
            auto got = captured.waitPop(10ms);
            if (!got) {
                ++idle;
                continue;
            }
            if (got->kind == InputNotificationKind::Close) {
                closed = true;
                return;
            }
            if (got->kind != InputNotificationKind::Data) continue;
            ++handled;
            device->unprepare(*got->header);
            device->prepare(*got->header);
            if (device->addBuffer(*got->header) == AudioResult::InvalidHandle) ++refused;
        }
    });
    EXPECT_EQ(input_->start(), AudioResult::NoError);
    for (int i = 0; i < 1000 && handled.load() < 6; ++i) {
        rig_->letPass(10ms);
        std::this_thread::sleep_for(1ms);  // the capture thread's turn, also on a manual clock
    }
    EXPECT_GE(handled.load(), 6);
    input_.reset();
    capture.join();
    EXPECT_TRUE(closed.load());
    EXPECT_GE(refused.load(), 1);
    for (Buffer* buffer : {&a, &b, &c}) {
        EXPECT_FALSE(buffer->header.flags.load() & kWaveHeaderInQueue);
        std::fill(buffer->bytes.begin(), buffer->bytes.end(), 0xA5);
    }
    InputNotificationQueue nextQueue;
    auto next = rig_->backend().createInput();
    EXPECT_EQ(next->open(kFormat, nextQueue), AudioResult::NoError);
    rig_->letPass(100ms);
    for (Buffer* buffer : {&a, &b, &c})
        EXPECT_EQ(std::count(buffer->bytes.begin(), buffer->bytes.end(), 0xA5),
                  static_cast<std::ptrdiff_t>(buffer->bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(Audio, AudioContract,
                         ::testing::Values(TestBackend::LoopbackManual,
                                           TestBackend::LoopbackRealTime,
                                           TestBackend::FaultOverLoopback,
                                           TestBackend::PortAudioNullSink),
                         [](const auto& info) { return testing::TestBackendName(info.param); });

}  // namespace
}  // namespace tonewell

#pragma once
// A virtual cable from the output to the input: what the output plays, the input records,
// sample for sample when both sides share rate and resolution (otherwise converted: 8-bit and
// 16-bit samples scale into each other, mono is copied to both channels and stereo recorded in
// mono keeps channel A, a different rate holds each sample). Time on the cable passes either in
// real time (a clock thread of the cable) or only when a test calls advance().
// One output and one input may be open at a time. Done notifications run on the cable's
// notification thread; input notifications are pushed by whichever thread moves the clock.
// Tests provoke an underrun by letting the output run out of queued buffers before queuing the
// next, and an overrun by letting a started input record with no buffer queued.
// The cable must outlive every device it created.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/audio/AudioBackend.h"
#include "platform/audio/InputQueue.h"
#include "platform/audio/NotificationThread.h"
#include "platform/audio/OutputQueue.h"

namespace tonewell {

enum class LoopbackClock { Manual, RealTime };

// The cable's name as a device.
inline constexpr const char* kLoopbackDeviceId = "Loopback cable";

class LoopbackCable : public AudioBackend {
public:
    // Cable time unit: every usual sampling rate divides it, so frame times are exact.
    static constexpr std::uint64_t kTicksPerSecond = 14112000;

    explicit LoopbackCable(LoopbackClock clock = LoopbackClock::Manual);
    ~LoopbackCable() override;
    LoopbackCable(const LoopbackCable&) = delete;
    LoopbackCable& operator=(const LoopbackCable&) = delete;

    AudioBackendKind kind() const override { return AudioBackendKind::Loopback; }
    std::string displayName() const override;
    std::unique_ptr<AudioOutput> createOutput() override;
    std::unique_ptr<AudioInput> createInput() override;
    // The cable itself, both ways, the default of both.
    std::vector<AudioDeviceInfo> devices() const override;

    LoopbackClock clock() const { return clock_; }

    // Bounds the waits for the instrument's threads (kDefaultHandlerWait unless set); also the
    // bound of advance()'s wait for the done notifications it causes.
    void setHandlerWait(std::chrono::milliseconds wait) { handlerWait_ = wait.count(); }
    std::chrono::milliseconds handlerWait() const {
        return std::chrono::milliseconds(handlerWait_.load());
    }

    // Manual clock: lets `duration` pass on the cable; returns once the done notifications it
    // caused have run (or after the handler wait). Does nothing on a real-time cable.
    void advance(std::chrono::microseconds duration);
    // The same for a number of frames at a rate.
    void advanceFrames(std::uint64_t frames, std::uint32_t samplesPerSecond);

private:
    friend class LoopbackOutput;
    friend class LoopbackInput;
    using DoneCallbackPtr = std::shared_ptr<const AudioOutput::DoneCallback>;

    void advanceTicks(std::uint64_t ticks);
    void stepTo(std::uint64_t ticks);  // with mutex_ held
    void postDone(const std::vector<WaveHeader*>& finished);
    void pushData(const std::vector<WaveHeader*>& finished);
    void runClock();

    // Output side, called by LoopbackOutput.
    AudioResult outputOpen(const void* device, const WaveFormat& format,
                           AudioOutput::DoneCallback onDone,
                           std::atomic<std::uint64_t>& underruns);
    AudioResult outputPrepare(const void* device, WaveHeader& header);
    AudioResult outputUnprepare(const void* device, WaveHeader& header);
    AudioResult outputWrite(const void* device, WaveHeader& header);
    AudioResult outputReset(const void* device);
    AudioResult outputClose(const void* device);
    void outputShutDown(const void* device);  // for the destructor: cannot fail

    // Input side, called by LoopbackInput.
    AudioResult inputOpen(const void* device, const WaveFormat& format,
                          InputNotificationQueue& notifications,
                          std::atomic<std::uint64_t>& overruns);
    AudioResult inputPrepare(const void* device, WaveHeader& header);
    AudioResult inputUnprepare(const void* device, WaveHeader& header);
    AudioResult inputAddBuffer(const void* device, WaveHeader& header);
    AudioResult inputStart(const void* device);
    AudioResult inputReset(const void* device);
    AudioResult inputClose(const void* device);
    void inputShutDown(const void* device);  // for the destructor: cannot fail

    const LoopbackClock clock_;
    std::atomic<std::chrono::milliseconds::rep> handlerWait_{kDefaultHandlerWait.count()};
    std::mutex mutex_;
    std::uint64_t ticks_ = 0;

    const void* output_ = nullptr;  // the open output device
    WaveFormat outputFormat_;
    std::optional<OutputQueue> outputQueue_;
    DoneCallbackPtr onDone_;
    std::uint64_t outputOrigin_ = 0;
    std::uint64_t outputFrames_ = 0;  // frames played since open
    std::int16_t lastFrame_[2] = {0, 0};
    std::atomic<std::uint64_t>* outputUnderruns_ = nullptr;  // the open output's count
    bool outputPlayed_ = false;  // sound played since open or reset
    bool outputGap_ = false;     // ran out of queued sound after playing some

    const void* input_ = nullptr;  // the open input device
    WaveFormat inputFormat_;
    std::optional<InputQueue> inputQueue_;
    InputNotificationQueue* notifications_ = nullptr;
    bool inputStarted_ = false;
    std::uint64_t inputOrigin_ = 0;
    std::uint64_t inputFrames_ = 0;  // frames recorded since start
    std::atomic<std::uint64_t>* inputOverruns_ = nullptr;  // the open input's count
    bool inputLosing_ = false;  // the last recorded frames found no buffer

    std::vector<std::uint8_t> outputBytes_;
    std::vector<std::int16_t> line_;  // this step's output frames, stereo 16-bit
    std::vector<std::uint8_t> inputBytes_;

    NotificationThread notifier_{"tw-loop-notify"};
    std::condition_variable clockWake_;
    bool stopping_ = false;
    std::thread clockThread_;
};

}  // namespace tonewell

#pragma once
// Input through PortAudio. The real-time callback only copies the device's samples into a
// lock-free ring; a collector thread moves them into the queued buffers and pushes a data
// notification for each filled one. The stream runs from open to close; what arrives before
// start or between reset and the next start is dropped.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <portaudio.h>

#include "platform/audio/AudioInput.h"
#include "platform/audio/InputQueue.h"
#include "platform/audio/SpscRing.h"

namespace tonewell {

class PortAudioBackend;

class PortAudioInput final : public AudioInput {
public:
    explicit PortAudioInput(PortAudioBackend& backend) : backend_(backend) {}
    ~PortAudioInput() override;

    AudioResult open(const WaveFormat& format, InputNotificationQueue& notifications) override;
    AudioResult prepare(WaveHeader& header) override;
    AudioResult unprepare(WaveHeader& header) override;
    AudioResult addBuffer(WaveHeader& header) override;
    AudioResult start() override;
    AudioResult reset() override;
    AudioResult close() override;

    std::uint64_t overrunCount() const override { return overruns_.load(std::memory_order_relaxed); }

private:
    struct Shared {
        Shared(std::uint32_t blockAlign, std::size_t ringBytes,
               std::atomic<std::uint64_t>& overruns)
            : ring(ringBytes), blockAlign(blockAlign), overruns(overruns) {}
        SpscRing ring;
        const std::uint32_t blockAlign;
        std::atomic<std::uint64_t>& overruns;
        std::atomic<bool> recording{false};  // between start and reset
        bool losing = false;                 // the callback's own: the ring was full last time
    };
    static int Callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags flags,
                        void* userData);
    void collect();
    void drainLocked();      // with mutex_ held
    void returnAllLocked();  // with mutex_ held: stops recording, returns every queued buffer
    // After stopping_ is set: ends the collector and the stream, closed; returns the number of
    // the close notification.
    std::uint64_t stop();

    PortAudioBackend& backend_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool open_ = false;
    bool started_ = false;
    bool stopping_ = false;
    PaStream* stream_ = nullptr;
    std::unique_ptr<Shared> shared_;
    std::optional<InputQueue> queue_;
    std::vector<std::uint8_t> scratch_;
    InputNotificationQueue* notifications_ = nullptr;
    bool losing_ = false;  // the collector's last samples found no buffer
    std::thread collector_;
    std::atomic<std::uint64_t> overruns_{0};
};

}  // namespace tonewell

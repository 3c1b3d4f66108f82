#pragma once
// Output through PortAudio. A feeder thread copies the queued buffers (loops included) into a
// lock-free ring; the real-time callback only copies the ring to the device and pads with
// silence when it runs dry. A buffer is done once its last byte has played: the callback took
// it the device's output latency ago (a buffer whose done closes the device must not lose what
// the device still holds of it). The done callback then runs on the device's notification thread.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <portaudio.h>

#include "platform/audio/AudioOutput.h"
#include "platform/audio/NotificationThread.h"
#include "platform/audio/OutputQueue.h"
#include "platform/audio/SpscRing.h"

namespace tonewell {

class PortAudioBackend;

class PortAudioOutput final : public AudioOutput {
public:
    explicit PortAudioOutput(PortAudioBackend& backend) : backend_(backend) {}
    ~PortAudioOutput() override;

    AudioResult open(const WaveFormat& format, DoneCallback onDone) override;
    AudioResult prepare(WaveHeader& header) override;
    AudioResult unprepare(WaveHeader& header) override;
    AudioResult write(WaveHeader& header) override;
    AudioResult reset() override;
    AudioResult close() override;

    std::uint64_t underrunCount() const override {
        return underruns_.load(std::memory_order_relaxed);
    }

private:
    // What the real-time callback touches; fixed while the stream runs.
    struct Shared {
        Shared(const WaveFormat& format, std::size_t ringBytes,
               std::atomic<std::uint64_t>& underruns)
            : ring(ringBytes),
              blockAlign(format.blockAlign),
              silence(format.bitsPerSample == 8 ? 0x80 : 0x00),
              underruns(underruns) {}
        SpscRing ring;
        const std::uint32_t blockAlign;
        const std::uint8_t silence;
        std::atomic<std::uint64_t>& underruns;
        std::atomic<std::uint32_t> resets{0};  // bumped by reset: the silence after is no gap
        // The callback's own: resets seen, sound played since, and a gap in it.
        std::uint32_t resetsSeen = 0;
        bool played = false;
        bool gap = false;
    };
    static int Callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags flags,
                        void* userData);
    void feed();
    // After stopping_ is set: ends the feeder, the stream and the notification thread, closed.
    void stop();
    void serviceLocked();  // with mutex_ held
    void postDoneLocked(const std::vector<WaveHeader*>& finished);

    PortAudioBackend& backend_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool open_ = false;
    bool stopping_ = false;
    bool kicked_ = false;
    PaStream* stream_ = nullptr;
    std::unique_ptr<Shared> shared_;
    std::optional<OutputQueue> queue_;
    std::vector<std::uint8_t> scratch_;
    std::shared_ptr<const DoneCallback> onDone_;
    std::unique_ptr<NotificationThread> notifier_;
    std::thread feeder_;
    std::atomic<std::uint64_t> underruns_{0};
    // The feeder's record of how far the callback had read when, kept for the device's latency,
    // and the position played by now.
    using Clock = std::chrono::steady_clock;
    std::chrono::microseconds deviceLatency_{0};
    std::deque<std::pair<Clock::time_point, std::uint64_t>> readHistory_;
    std::uint64_t playedBytes_ = 0;
};

}  // namespace tonewell

#include "platform/audio/LoopbackCable.h"

#include <algorithm>

#include "platform/audio/ThreadName.h"

namespace tonewell {

namespace {

constexpr auto kClockPeriod = std::chrono::milliseconds(5);

// Frames of a side whose first frame starts at its origin that begin before `elapsed` ticks.
std::uint64_t FramesBefore(std::uint64_t elapsed, std::uint32_t rate) {
    const unsigned __int128 scaled = static_cast<unsigned __int128>(elapsed) * rate;
    return static_cast<std::uint64_t>((scaled + LoopbackCable::kTicksPerSecond - 1) /
                                      LoopbackCable::kTicksPerSecond);
}

std::int16_t LineSample(const std::uint8_t* frame, const WaveFormat& format, int channel) {
    const int index = format.channels == 2 ? channel : 0;
    if (format.bitsPerSample == 8) return static_cast<std::int16_t>((frame[index] - 128) * 256);
    const std::uint8_t* sample = frame + 2 * index;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(sample[0] | (sample[1] << 8)));
}

void StoreSample(std::uint8_t* frame, const WaveFormat& format, int channel, std::int16_t value) {
    if (format.bitsPerSample == 8) {
        frame[channel] = static_cast<std::uint8_t>((value >> 8) + 128);
        return;
    }
    const auto bits = static_cast<std::uint16_t>(value);
    frame[2 * channel] = static_cast<std::uint8_t>(bits & 0xFF);
    frame[2 * channel + 1] = static_cast<std::uint8_t>(bits >> 8);
}

}  // namespace

class LoopbackOutput final : public AudioOutput {
public:
    explicit LoopbackOutput(LoopbackCable& cable) : cable_(cable) {}
    ~LoopbackOutput() override { cable_.outputShutDown(this); }
    AudioResult open(const WaveFormat& format, DoneCallback onDone) override {
        return cable_.outputOpen(this, format, std::move(onDone), underruns_);
    }
    AudioResult prepare(WaveHeader& header) override { return cable_.outputPrepare(this, header); }
    AudioResult unprepare(WaveHeader& header) override {
        return cable_.outputUnprepare(this, header);
    }
    AudioResult write(WaveHeader& header) override { return cable_.outputWrite(this, header); }
    AudioResult reset() override { return cable_.outputReset(this); }
    AudioResult close() override { return cable_.outputClose(this); }
    std::uint64_t underrunCount() const override {
        return underruns_.load(std::memory_order_relaxed);
    }

private:
    LoopbackCable& cable_;
    std::atomic<std::uint64_t> underruns_{0};  // counted by the cable while open
};

class LoopbackInput final : public AudioInput {
public:
    explicit LoopbackInput(LoopbackCable& cable) : cable_(cable) {}
    ~LoopbackInput() override { cable_.inputShutDown(this); }
    AudioResult open(const WaveFormat& format, InputNotificationQueue& notifications) override {
        return cable_.inputOpen(this, format, notifications, overruns_);
    }
    AudioResult prepare(WaveHeader& header) override { return cable_.inputPrepare(this, header); }
    AudioResult unprepare(WaveHeader& header) override {
        return cable_.inputUnprepare(this, header);
    }
    AudioResult addBuffer(WaveHeader& header) override {
        return cable_.inputAddBuffer(this, header);
    }
    AudioResult start() override { return cable_.inputStart(this); }
    AudioResult reset() override { return cable_.inputReset(this); }
    AudioResult close() override { return cable_.inputClose(this); }
    std::uint64_t overrunCount() const override { return overruns_.load(std::memory_order_relaxed); }

private:
    LoopbackCable& cable_;
    std::atomic<std::uint64_t> overruns_{0};  // counted by the cable while open
};

LoopbackCable::LoopbackCable(LoopbackClock clock) : clock_(clock) {
    if (clock_ == LoopbackClock::RealTime) clockThread_ = std::thread([this] { runClock(); });
}

LoopbackCable::~LoopbackCable() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    clockWake_.notify_all();
    if (clockThread_.joinable()) clockThread_.join();
}

std::string LoopbackCable::displayName() const { return kLoopbackDeviceId; }

std::vector<AudioDeviceInfo> LoopbackCable::devices() const {
    return {AudioDeviceInfo{kLoopbackDeviceId, true, true, true, true}};
}

std::unique_ptr<AudioOutput> LoopbackCable::createOutput() {
    return std::make_unique<LoopbackOutput>(*this);
}

std::unique_ptr<AudioInput> LoopbackCable::createInput() {
    return std::make_unique<LoopbackInput>(*this);
}

void LoopbackCable::advance(std::chrono::microseconds duration) {
    if (clock_ != LoopbackClock::Manual || duration.count() <= 0) return;
    // 1 microsecond = 14.112 ticks, exact for whole milliseconds.
    advanceTicks(static_cast<std::uint64_t>(duration.count()) * (kTicksPerSecond / 1000) / 1000);
}

void LoopbackCable::advanceFrames(std::uint64_t frames, std::uint32_t samplesPerSecond) {
    if (clock_ != LoopbackClock::Manual || samplesPerSecond == 0) return;
    const unsigned __int128 ticks = static_cast<unsigned __int128>(frames) * kTicksPerSecond;
    advanceTicks(static_cast<std::uint64_t>(ticks / samplesPerSecond));
}

void LoopbackCable::advanceTicks(std::uint64_t ticks) {
    // Small steps, so that buffers queued by a done notification play within the same advance,
    // as they would on a device.
    const std::uint64_t step = kTicksPerSecond / 100;
    while (ticks > 0) {
        const std::uint64_t now = std::min(ticks, step);
        {
            std::lock_guard lock(mutex_);
            stepTo(ticks_ + now);
        }
        notifier_.flush(handlerWait());
        ticks -= now;
    }
}

void LoopbackCable::runClock() {
    NameThisThread("tw-loop-clock");
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        clockWake_.wait_for(lock, kClockPeriod);
        if (stopping_) break;
        const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::steady_clock::now() - start);
        const unsigned __int128 target =
            static_cast<unsigned __int128>(elapsed.count()) * kTicksPerSecond / 1000000000u;
        if (target > ticks_) stepTo(static_cast<std::uint64_t>(target));
    }
}

void LoopbackCable::stepTo(std::uint64_t ticks) {
    if (ticks <= ticks_) return;
    ticks_ = ticks;

    // What the output plays in this step.
    std::uint64_t firstOutputFrame = outputFrames_;
    std::size_t played = 0;
    if (output_ != nullptr) {
        const std::uint64_t due = FramesBefore(ticks_ - outputOrigin_, outputFormat_.samplesPerSecond);
        played = static_cast<std::size_t>(due - outputFrames_);
        const std::size_t bytes = played * outputFormat_.blockAlign;
        outputBytes_.resize(bytes);
        const std::size_t got = outputQueue_->read(outputBytes_.data(), bytes);
        std::fill(outputBytes_.begin() + static_cast<std::ptrdiff_t>(got), outputBytes_.end(),
                  outputFormat_.bitsPerSample == 8 ? 0x80 : 0x00);
        if (bytes > 0) {
            // A gap counts once the sound goes on after it.
            if (got > 0) {
                if (outputGap_) outputUnderruns_->fetch_add(1, std::memory_order_relaxed);
                outputPlayed_ = true;
            }
            outputGap_ = outputPlayed_ && got < bytes;
        }
        line_.resize(2 * played);
        for (std::size_t f = 0; f < played; ++f) {
            const std::uint8_t* frame = outputBytes_.data() + f * outputFormat_.blockAlign;
            line_[2 * f] = LineSample(frame, outputFormat_, 0);
            line_[2 * f + 1] = LineSample(frame, outputFormat_, 1);
        }
        outputFrames_ = due;
        std::vector<WaveHeader*> finished;
        outputQueue_->takeFinished(outputQueue_->position(), finished);
        postDone(finished);
    }

    // What the input records in this step: for each input frame, the output frame sounding at
    // its start.
    if (input_ != nullptr && inputStarted_) {
        const std::uint32_t inRate = inputFormat_.samplesPerSecond;
        const std::uint64_t due = FramesBefore(ticks_ - inputOrigin_, inRate);
        const std::size_t count = static_cast<std::size_t>(due - inputFrames_);
        inputBytes_.resize(count * inputFormat_.blockAlign);
        for (std::size_t k = 0; k < count; ++k) {
            std::int16_t a = 0, b = 0;
            if (output_ != nullptr) {
                const std::uint64_t j = inputFrames_ + k;
                const __int128 numerator =
                    (static_cast<__int128>(inputOrigin_) - static_cast<__int128>(outputOrigin_)) *
                        inRate +
                    static_cast<__int128>(j) * kTicksPerSecond;
                if (numerator >= 0) {
                    const auto n = static_cast<std::uint64_t>(
                        numerator * outputFormat_.samplesPerSecond /
                        (static_cast<__int128>(kTicksPerSecond) * inRate));
                    if (n >= firstOutputFrame && n < firstOutputFrame + played) {
                        a = line_[2 * (n - firstOutputFrame)];
                        b = line_[2 * (n - firstOutputFrame) + 1];
                    } else if (n + 1 == firstOutputFrame) {
                        a = lastFrame_[0];
                        b = lastFrame_[1];
                    }
                }
            }
            std::uint8_t* frame = inputBytes_.data() + k * inputFormat_.blockAlign;
            StoreSample(frame, inputFormat_, 0, a);
            if (inputFormat_.channels == 2) StoreSample(frame, inputFormat_, 1, b);
        }
        inputFrames_ = due;
        std::vector<WaveHeader*> finished;
        const std::size_t taken = inputQueue_->write(inputBytes_.data(), inputBytes_.size(), finished);
        // Buffers fill from the first frame on, so a loss is always at the end of the step.
        if (taken > 0) inputLosing_ = false;
        if (taken < inputBytes_.size()) {
            if (!inputLosing_) inputOverruns_->fetch_add(1, std::memory_order_relaxed);
            inputLosing_ = true;
        }
        pushData(finished);
    }

    if (output_ != nullptr && played > 0) {
        lastFrame_[0] = line_[2 * (played - 1)];
        lastFrame_[1] = line_[2 * (played - 1) + 1];
    } else if (output_ == nullptr) {
        lastFrame_[0] = lastFrame_[1] = 0;
    }
}

void LoopbackCable::postDone(const std::vector<WaveHeader*>& finished) {
    for (WaveHeader* header : finished) {
        FinishWaveHeader(*header);
        notifier_.post([callback = onDone_, header] {
            if (callback && *callback) (*callback)(*header);
        });
    }
}

void LoopbackCable::pushData(const std::vector<WaveHeader*>& finished) {
    for (WaveHeader* header : finished) {
        FinishWaveHeader(*header);
        notifications_->push({InputNotificationKind::Data, header});
    }
}

// ---- output -------------------------------------------------------------------------------

AudioResult LoopbackCable::outputOpen(const void* device, const WaveFormat& format,
                                      AudioOutput::DoneCallback onDone,
                                      std::atomic<std::uint64_t>& underruns) {
    std::lock_guard lock(mutex_);
    if (output_ != nullptr) return AudioResult::Allocated;
    if (!IsPlayablePcm(format)) return AudioResult::BadFormat;
    output_ = device;
    outputFormat_ = format;
    outputQueue_.emplace(format.blockAlign);
    onDone_ = std::make_shared<const AudioOutput::DoneCallback>(std::move(onDone));
    outputOrigin_ = ticks_;
    outputFrames_ = 0;
    lastFrame_[0] = lastFrame_[1] = 0;
    underruns.store(0, std::memory_order_relaxed);
    outputUnderruns_ = &underruns;
    outputPlayed_ = outputGap_ = false;
    return AudioResult::NoError;
}

AudioResult LoopbackCable::outputPrepare(const void* device, WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (output_ != device) return AudioResult::InvalidHandle;
    return PrepareWaveHeader(header);
}

AudioResult LoopbackCable::outputUnprepare(const void* device, WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (output_ != device) return AudioResult::InvalidHandle;
    return UnprepareWaveHeader(header);
}

AudioResult LoopbackCable::outputWrite(const void* device, WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (output_ != device) return AudioResult::InvalidHandle;
    const AudioResult result = EnqueueWaveHeader(header);
    if (result != AudioResult::NoError) return result;
    outputQueue_->push(header);
    return AudioResult::NoError;
}

AudioResult LoopbackCable::outputReset(const void* device) {
    {
        std::lock_guard lock(mutex_);
        if (output_ != device) return AudioResult::InvalidHandle;
        std::vector<WaveHeader*> finished;
        outputQueue_->takeAll(finished);
        postDone(finished);
        outputPlayed_ = outputGap_ = false;  // the silence after a reset is no gap
    }
    // A handler that does not return keeps the buffers from the caller: no success then.
    if (!notifier_.flush(handlerWait())) return AudioResult::NoDriver;
    return AudioResult::NoError;
}

AudioResult LoopbackCable::outputClose(const void* device) {
    {
        std::lock_guard lock(mutex_);
        if (output_ != device) return AudioResult::InvalidHandle;
        if (!outputQueue_->empty()) return AudioResult::StillPlaying;
        if (notifier_.isCurrentThread()) return AudioResult::Sync;
        output_ = nullptr;
        outputQueue_.reset();
        onDone_.reset();
        outputUnderruns_ = nullptr;
    }
    notifier_.flush(handlerWait());
    return AudioResult::NoError;
}

void LoopbackCable::outputShutDown(const void* device) {
    {
        std::lock_guard lock(mutex_);
        if (output_ != device) return;
        std::vector<WaveHeader*> finished;
        outputQueue_->takeAll(finished);
        postDone(finished);
        // Closed from here on, so a handler that re-queues its buffer gets InvalidHandle. The
        // posted notifications hold the callback themselves.
        output_ = nullptr;
        outputQueue_.reset();
        onDone_.reset();
        outputUnderruns_ = nullptr;
    }
    // The handlers of the returned buffers, and the one now running, finish before the device
    // goes.
    notifier_.flush();
}

// ---- input --------------------------------------------------------------------------------

AudioResult LoopbackCable::inputOpen(const void* device, const WaveFormat& format,
                                     InputNotificationQueue& notifications,
                                     std::atomic<std::uint64_t>& overruns) {
    std::lock_guard lock(mutex_);
    if (input_ != nullptr) return AudioResult::Allocated;
    if (!IsPlayablePcm(format)) return AudioResult::BadFormat;
    input_ = device;
    inputFormat_ = format;
    inputQueue_.emplace(format.blockAlign);
    notifications_ = &notifications;
    inputStarted_ = false;
    overruns.store(0, std::memory_order_relaxed);
    inputOverruns_ = &overruns;
    notifications_->push({InputNotificationKind::Open, nullptr});
    return AudioResult::NoError;
}

AudioResult LoopbackCable::inputPrepare(const void* device, WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (input_ != device) return AudioResult::InvalidHandle;
    return PrepareWaveHeader(header);
}

AudioResult LoopbackCable::inputUnprepare(const void* device, WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (input_ != device) return AudioResult::InvalidHandle;
    return UnprepareWaveHeader(header);
}

AudioResult LoopbackCable::inputAddBuffer(const void* device, WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (input_ != device) return AudioResult::InvalidHandle;
    const AudioResult result = EnqueueWaveHeader(header);
    if (result != AudioResult::NoError) return result;
    inputQueue_->push(header);
    return AudioResult::NoError;
}

AudioResult LoopbackCable::inputStart(const void* device) {
    std::lock_guard lock(mutex_);
    if (input_ != device) return AudioResult::InvalidHandle;
    if (!inputStarted_) {
        inputStarted_ = true;
        inputLosing_ = false;
        inputOrigin_ = ticks_;
        inputFrames_ = 0;
    }
    return AudioResult::NoError;
}

AudioResult LoopbackCable::inputReset(const void* device) {
    std::lock_guard lock(mutex_);
    if (input_ != device) return AudioResult::InvalidHandle;
    inputStarted_ = false;
    std::vector<WaveHeader*> finished;
    inputQueue_->takeAll(finished);
    pushData(finished);
    return AudioResult::NoError;
}

AudioResult LoopbackCable::inputClose(const void* device) {
    std::lock_guard lock(mutex_);
    if (input_ != device) return AudioResult::InvalidHandle;
    if (!inputQueue_->empty()) return AudioResult::StillPlaying;
    notifications_->push({InputNotificationKind::Close, nullptr});
    input_ = nullptr;
    inputQueue_.reset();
    notifications_ = nullptr;
    inputOverruns_ = nullptr;
    inputStarted_ = false;
    return AudioResult::NoError;
}

void LoopbackCable::inputShutDown(const void* device) {
    InputNotificationQueue* notifications;
    std::uint64_t closeNumber;
    {
        std::lock_guard lock(mutex_);
        if (input_ != device) return;
        std::vector<WaveHeader*> finished;
        inputQueue_->takeAll(finished);
        pushData(finished);
        notifications = notifications_;
        closeNumber = notifications->push({InputNotificationKind::Close, nullptr});
        // Closed from here on: a buffer the capture thread re-queues gets InvalidHandle.
        input_ = nullptr;
        inputQueue_.reset();
        notifications_ = nullptr;
        inputOverruns_ = nullptr;
        inputStarted_ = false;
    }
    notifications->awaitTaken(closeNumber, handlerWait());
}

}  // namespace tonewell

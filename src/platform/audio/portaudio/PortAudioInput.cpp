#include "platform/audio/portaudio/PortAudioInput.h"

#include <algorithm>

#include "platform/audio/ThreadName.h"
#include "platform/audio/portaudio/PortAudioBackend.h"
#include "platform/audio/portaudio/PortAudioStream.h"

namespace tonewell {

PortAudioInput::~PortAudioInput() {
    InputNotificationQueue* notifications;
    {
        std::lock_guard lock(mutex_);
        if (!open_) return;
        // From here on every call is refused, so a buffer the capture thread re-queues is not
        // taken.
        stopping_ = true;
        returnAllLocked();
        notifications = notifications_;
    }
    const std::uint64_t closeNumber = stop();
    notifications->awaitTaken(closeNumber, backend_.handlerWait());
}

int PortAudioInput::Callback(const void* input, void*, unsigned long frames,
                             const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags flags, void* userData) {
    auto& shared = *static_cast<Shared*>(userData);
    // The device itself lost sound before this callback: the recording has a hole as surely as
    // when the ring is full.
    if ((flags & paInputOverflow) != 0 && shared.recording.load(std::memory_order_relaxed))
        shared.overruns.fetch_add(1, std::memory_order_relaxed);
    if (input == nullptr) return paContinue;
    const std::size_t bytes = frames * shared.blockAlign;
    std::size_t room = shared.ring.freeSpace();
    room -= room % shared.blockAlign;
    const std::size_t count = std::min(bytes, room);
    shared.ring.write(static_cast<const std::uint8_t*>(input), count);
    // The ring takes the first frames, so a loss is always at the end of the callback.
    if (count > 0) shared.losing = false;
    if (count < bytes) {
        if (!shared.losing && shared.recording.load(std::memory_order_relaxed))
            shared.overruns.fetch_add(1, std::memory_order_relaxed);
        shared.losing = true;
    }
    return paContinue;
}

AudioResult PortAudioInput::open(const WaveFormat& format, InputNotificationQueue& notifications) {
    std::lock_guard lock(mutex_);
    if (open_) return AudioResult::Allocated;
    if (!IsPlayablePcm(format)) return AudioResult::BadFormat;
    overruns_.store(0, std::memory_order_relaxed);
    auto shared = std::make_unique<Shared>(format.blockAlign, RingBytesFor(format), overruns_);
    PaStream* stream = nullptr;
    const AudioResult result =
        StartPortAudioStream(backend_, false, format, &Callback, shared.get(), stream);
    if (result != AudioResult::NoError) return result;

    stream_ = stream;
    shared_ = std::move(shared);
    queue_.emplace(format.blockAlign);
    scratch_.assign(shared_->ring.capacity(), 0);
    notifications_ = &notifications;
    open_ = true;
    started_ = false;
    stopping_ = false;
    notifications_->push({InputNotificationKind::Open, nullptr});
    collector_ = std::thread([this] { collect(); });
    return AudioResult::NoError;
}

void PortAudioInput::collect() {
    NameThisThread("tw-in-collect");
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        drainLocked();
        wake_.wait_for(lock, std::chrono::milliseconds(kServicePeriodMilliseconds),
                       [this] { return stopping_; });
    }
}

void PortAudioInput::drainLocked() {
    SpscRing& ring = shared_->ring;
    if (!started_) {
        ring.skip(ring.available());
        return;
    }
    std::vector<WaveHeader*> finished;
    for (;;) {
        const std::size_t count = ring.read(scratch_.data(), scratch_.size());
        if (count == 0) break;
        // What finds no queued buffer is lost; buffers fill from the first frame on, so a loss
        // is always at the end.
        const std::size_t taken = queue_->write(scratch_.data(), count, finished);
        if (taken > 0) losing_ = false;
        if (taken < count) {
            if (!losing_) overruns_.fetch_add(1, std::memory_order_relaxed);
            losing_ = true;
        }
    }
    for (WaveHeader* header : finished) {
        FinishWaveHeader(*header);
        notifications_->push({InputNotificationKind::Data, header});
    }
}

AudioResult PortAudioInput::prepare(WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (!open_ || stopping_) return AudioResult::InvalidHandle;
    return PrepareWaveHeader(header);
}

AudioResult PortAudioInput::unprepare(WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (!open_ || stopping_) return AudioResult::InvalidHandle;
    return UnprepareWaveHeader(header);
}

AudioResult PortAudioInput::addBuffer(WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (!open_ || stopping_) return AudioResult::InvalidHandle;
    const AudioResult result = EnqueueWaveHeader(header);
    if (result != AudioResult::NoError) return result;
    queue_->push(header);
    return AudioResult::NoError;
}

AudioResult PortAudioInput::start() {
    std::lock_guard lock(mutex_);
    if (!open_ || stopping_) return AudioResult::InvalidHandle;
    if (!started_) {
        // Only sound from now on.
        shared_->ring.skip(shared_->ring.available());
        started_ = true;
        losing_ = false;
        shared_->recording.store(true, std::memory_order_relaxed);
    }
    return AudioResult::NoError;
}

AudioResult PortAudioInput::reset() {
    std::lock_guard lock(mutex_);
    if (!open_ || stopping_) return AudioResult::InvalidHandle;
    returnAllLocked();
    return AudioResult::NoError;
}

void PortAudioInput::returnAllLocked() {
    drainLocked();
    started_ = false;
    shared_->recording.store(false, std::memory_order_relaxed);
    std::vector<WaveHeader*> finished;
    queue_->takeAll(finished);
    for (WaveHeader* header : finished) {
        FinishWaveHeader(*header);
        notifications_->push({InputNotificationKind::Data, header});
    }
}

AudioResult PortAudioInput::close() {
    {
        std::lock_guard lock(mutex_);
        if (!open_ || stopping_) return AudioResult::InvalidHandle;
        if (!queue_->empty()) return AudioResult::StillPlaying;
        stopping_ = true;
    }
    stop();
    return AudioResult::NoError;
}

std::uint64_t PortAudioInput::stop() {
    wake_.notify_all();
    collector_.join();
    StopPortAudioStream(stream_);
    std::lock_guard lock(mutex_);
    const std::uint64_t closeNumber = notifications_->push({InputNotificationKind::Close, nullptr});
    notifications_ = nullptr;
    shared_.reset();
    queue_.reset();
    open_ = false;
    started_ = false;
    stopping_ = false;
    return closeNumber;
}

}  // namespace tonewell

#include "platform/audio/portaudio/PortAudioOutput.h"

#include <algorithm>
#include <cstring>

#include "platform/audio/ThreadName.h"
#include "platform/audio/portaudio/PortAudioBackend.h"
#include "platform/audio/portaudio/PortAudioStream.h"

namespace tonewell {

PortAudioOutput::~PortAudioOutput() {
    {
        std::lock_guard lock(mutex_);
        if (!open_) return;
        // From here on every call is refused, so a done handler that re-queues its buffer
        // queues nothing.
        stopping_ = true;
        std::vector<WaveHeader*> finished;
        queue_->takeAll(finished);
        shared_->ring.discardWritten();
        postDoneLocked(finished);
    }
    stop();
}

int PortAudioOutput::Callback(const void*, void* output, unsigned long frames,
                              const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags flags, void* userData) {
    auto& shared = *static_cast<Shared*>(userData);
    auto* destination = static_cast<std::uint8_t*>(output);
    const std::size_t wanted = frames * shared.blockAlign;
    const std::uint32_t resets = shared.resets.load(std::memory_order_acquire);
    if (resets != shared.resetsSeen) {
        shared.resetsSeen = resets;
        shared.played = shared.gap = false;
    }
    const std::size_t got = shared.ring.read(destination, wanted);
    if (got < wanted) std::memset(destination + got, shared.silence, wanted - got);
    if (wanted > 0) {
        // A gap counts once the sound goes on after it, ours or the device's (it ran dry
        // before this callback while sound was playing).
        if (got > 0) {
            const bool deviceGap = (flags & paOutputUnderflow) != 0 && shared.played;
            if (shared.gap || deviceGap) shared.underruns.fetch_add(1, std::memory_order_relaxed);
            shared.played = true;
        }
        shared.gap = shared.played && got < wanted;
    }
    return paContinue;
}

AudioResult PortAudioOutput::open(const WaveFormat& format, DoneCallback onDone) {
    std::lock_guard lock(mutex_);
    if (open_) return AudioResult::Allocated;
    if (!IsPlayablePcm(format)) return AudioResult::BadFormat;
    underruns_.store(0, std::memory_order_relaxed);
    auto shared = std::make_unique<Shared>(format, RingBytesFor(format), underruns_);
    PaStream* stream = nullptr;
    const AudioResult result =
        StartPortAudioStream(backend_, true, format, &Callback, shared.get(), stream);
    if (result != AudioResult::NoError) return result;

    stream_ = stream;
    shared_ = std::move(shared);
    const PaStreamInfo* info = Pa_GetStreamInfo(stream);
    deviceLatency_ = std::chrono::microseconds(
        info != nullptr && info->outputLatency > 0.0 ? static_cast<std::int64_t>(info->outputLatency * 1e6) : 0);
    readHistory_.clear();
    playedBytes_ = 0;
    queue_.emplace(format.blockAlign);
    scratch_.assign(shared_->ring.capacity(), 0);
    onDone_ = std::make_shared<const DoneCallback>(std::move(onDone));
    notifier_ = std::make_unique<NotificationThread>("tw-out-notify");
    open_ = true;
    stopping_ = false;
    kicked_ = false;
    feeder_ = std::thread([this] { feed(); });
    return AudioResult::NoError;
}

void PortAudioOutput::feed() {
    NameThisThread("tw-out-feed");
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        serviceLocked();
        wake_.wait_for(lock, std::chrono::milliseconds(kServicePeriodMilliseconds),
                       [this] { return stopping_ || kicked_; });
        kicked_ = false;
    }
}

void PortAudioOutput::serviceLocked() {
    SpscRing& ring = shared_->ring;
    // The ring counts the same bytes as the queue: everything read from the queue goes in.
    for (;;) {
        const std::size_t room = std::min(ring.freeSpace(), scratch_.size());
        if (room < shared_->blockAlign) break;
        const std::size_t count = queue_->read(scratch_.data(), room);
        if (count == 0) break;
        ring.write(scratch_.data(), count);
    }
    // What the callback read a device latency ago has played by now.
    const Clock::time_point now = Clock::now(), playedBefore = now - deviceLatency_;
    readHistory_.emplace_back(now, ring.bytesRead());
    while (readHistory_.size() > 1 && readHistory_[1].first <= playedBefore) readHistory_.pop_front();
    if (readHistory_.front().first <= playedBefore) playedBytes_ = std::max(playedBytes_, readHistory_.front().second);
    std::vector<WaveHeader*> finished;
    queue_->takeFinished(playedBytes_, finished);
    postDoneLocked(finished);
}

void PortAudioOutput::postDoneLocked(const std::vector<WaveHeader*>& finished) {
    for (WaveHeader* header : finished) {
        FinishWaveHeader(*header);
        notifier_->post([callback = onDone_, header] {
            if (*callback) (*callback)(*header);
        });
    }
}

AudioResult PortAudioOutput::prepare(WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (!open_ || stopping_) return AudioResult::InvalidHandle;
    return PrepareWaveHeader(header);
}

AudioResult PortAudioOutput::unprepare(WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (!open_ || stopping_) return AudioResult::InvalidHandle;
    return UnprepareWaveHeader(header);
}

AudioResult PortAudioOutput::write(WaveHeader& header) {
    std::lock_guard lock(mutex_);
    if (!open_ || stopping_) return AudioResult::InvalidHandle;
    const AudioResult result = EnqueueWaveHeader(header);
    if (result != AudioResult::NoError) return result;
    queue_->push(header);
    kicked_ = true;
    // Under the lock, so that a done handler that destroys the device waits for this call to
    // be over.
    wake_.notify_all();
    return AudioResult::NoError;
}

AudioResult PortAudioOutput::reset() {
    NotificationThread* notifier;
    {
        std::lock_guard lock(mutex_);
        if (!open_ || stopping_) return AudioResult::InvalidHandle;
        std::vector<WaveHeader*> finished;
        queue_->takeAll(finished);
        // What is already in the ring must not play after the reset.
        shared_->ring.discardWritten();
        shared_->resets.fetch_add(1, std::memory_order_release);
        postDoneLocked(finished);
        notifier = notifier_.get();
    }
    // A handler that does not return keeps the buffers from the caller: no success then.
    if (!notifier->flush(backend_.handlerWait())) return AudioResult::NoDriver;
    return AudioResult::NoError;
}

AudioResult PortAudioOutput::close() {
    {
        std::lock_guard lock(mutex_);
        if (!open_ || stopping_) return AudioResult::InvalidHandle;
        if (!queue_->empty()) return AudioResult::StillPlaying;
        // From a done callback the notification thread cannot wait for itself to end.
        if (notifier_->isCurrentThread()) return AudioResult::Sync;
        stopping_ = true;
    }
    stop();
    return AudioResult::NoError;
}

void PortAudioOutput::stop() {
    wake_.notify_all();
    feeder_.join();
    StopPortAudioStream(stream_);
    // The done handlers still pending, and the one now running, finish before the device goes;
    // their calls are refused meanwhile. The notification thread ends outside the lock, which
    // its handlers may still be waiting for.
    notifier_->flush();
    std::unique_ptr<NotificationThread> notifier;
    {
        std::lock_guard lock(mutex_);
        notifier = std::move(notifier_);
        shared_.reset();
        queue_.reset();
        onDone_.reset();
        open_ = false;
        stopping_ = false;
    }
}

}  // namespace tonewell

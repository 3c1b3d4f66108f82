#pragma once
// The wave-audio output device: open with a PCM format and a done callback, prepare and queue
// buffers (with begin-loop/end-loop flags and a loop count), reset, unprepare, close.
// Calls may come from any thread (the UI thread, or the done callback itself); each takes effect
// as a whole. The done callback runs on the backend's notification thread, once per queued
// buffer, in queue order, never on the real-time audio thread.

#include <cstdint>
#include <functional>

#include "platform/audio/AudioResult.h"
#include "platform/audio/WaveFormat.h"
#include "platform/audio/WaveHeader.h"

namespace tonewell {

class AudioOutput {
public:
    using DoneCallback = std::function<void(WaveHeader&)>;

    // Destroying an open device shuts it down, whatever its handler does meanwhile: from the
    // start every call of the device, from any thread, gets InvalidHandle, so a done handler
    // that re-queues its buffer (as a sweep does) queues nothing; the device stops playing,
    // returns every queued buffer through the done callback, waits for those handlers and the
    // one now running to return (a handler must therefore not wait for the thread that destroys
    // its device), and closes. Afterwards no thread of the device runs and none touches a
    // buffer. A done handler may destroy its own device; it must not touch it afterwards.
    virtual ~AudioOutput() = default;

    // BadFormat for a format the device cannot play; Allocated when already open or busy;
    // NoDriver / BadDeviceId when there is no such device.
    virtual AudioResult open(const WaveFormat& format, DoneCallback onDone) = 0;
    virtual AudioResult prepare(WaveHeader& header) = 0;
    virtual AudioResult unprepare(WaveHeader& header) = 0;
    // Queues a prepared buffer; it plays after those already queued. A begin-loop buffer starts
    // a loop that ends with the next end-loop buffer (often itself) and plays `loops` times;
    // kLoopUntilReset repeats it until reset. Unprepared for a buffer not prepared.
    virtual AudioResult write(WaveHeader& header) = 0;
    // Stops playing and returns every queued buffer: their done callbacks have all run when
    // reset returns, so the buffers may then be unprepared and freed. NoDriver when they have
    // not all run within the backend's handler wait (a handler that does not return): the
    // buffers are no longer queued, but their callbacks are still to come.
    virtual AudioResult reset() = 0;
    // StillPlaying while buffers are queued; Sync when called from a done callback. Once closed,
    // every call but open gives InvalidHandle.
    virtual AudioResult close() = 0;

    // Underruns since open, for the user: gaps the device filled with silence because nothing
    // was queued in time (a buffer queued late, or the backend's own feed falling behind), each
    // counted once, when the sound goes on. The silence after the last buffer counts only when
    // another buffer follows it; reset starts afresh. Kept after close until the next open.
    // Any thread.
    virtual std::uint64_t underrunCount() const = 0;
};

}  // namespace tonewell

#pragma once
// The wave-audio input device: open with a PCM format and a notification queue, prepare and
// queue buffers, start, reset, unprepare, close. Calls may come from any thread (the UI thread,
// and the capture thread that re-queues the buffers it is handed); each takes effect as a whole.
// Notifications (open, one data per filled or returned buffer in queue order, close) go to the
// queue given at open, never from the real-time audio thread.

#include <cstdint>

#include "platform/audio/AudioResult.h"
#include "platform/audio/InputNotificationQueue.h"
#include "platform/audio/WaveFormat.h"
#include "platform/audio/WaveHeader.h"

namespace tonewell {

class AudioInput {
public:
    // Destroying an open device shuts it down, whatever the capture thread does meanwhile: from
    // the start every call of the device, from any thread, gets InvalidHandle, so a buffer the
    // capture thread re-queues is not taken; the device stops recording, returns every queued
    // buffer (data notifications), pushes the close notification and ends its threads. When
    // the queue has a consumer thread of its own (InputNotificationQueue::Consumer::OwnThread),
    // it then waits (bounded) until that thread has taken the close notification: the capture
    // thread may call the device until then and must not call it afterwards. Afterwards no
    // thread of the device runs and none touches a buffer.
    virtual ~AudioInput() = default;

    // Pushes the open notification on success. Errors as for AudioOutput::open.
    virtual AudioResult open(const WaveFormat& format, InputNotificationQueue& notifications) = 0;
    virtual AudioResult prepare(WaveHeader& header) = 0;
    virtual AudioResult unprepare(WaveHeader& header) = 0;
    // Queues a prepared buffer to be filled; bytesRecorded counts what it received. A buffer is
    // returned (data notification) when its whole frames are filled.
    virtual AudioResult addBuffer(WaveHeader& header) = 0;
    // Begins recording into the queued buffers; sound before start is not recorded.
    virtual AudioResult start() = 0;
    // Stops recording and returns every queued buffer, the partly filled one with the bytes it
    // holds; their data notifications are in the queue when reset returns.
    virtual AudioResult reset() = 0;
    // StillPlaying while buffers are queued; otherwise pushes the close notification.
    virtual AudioResult close() = 0;

    // Overruns since open, for the user: stretches of sound lost while recording because no
    // buffer was queued to take it (or the backend's own collection fell behind), each counted
    // once, when the loss begins. Kept after close until the next open. Any thread.
    virtual std::uint64_t overrunCount() const = 0;
};

}  // namespace tonewell

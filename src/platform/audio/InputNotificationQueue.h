#pragma once
// The queue through which an input device tells its owner what happened: open, a filled buffer
// (data) and close. Owned by the receiving side (the capture thread), which must keep it alive
// while the device is open. Pushed from the backend's threads or the calling thread; popped by
// one consumer thread. Every wait is bounded.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/audio/WaveHeader.h"

namespace tonewell {

enum class InputNotificationKind { Open, Data, Close };

struct InputNotification {
    InputNotificationKind kind = InputNotificationKind::Data;
    WaveHeader* header = nullptr;  // the returned buffer, for Data only
};

class InputNotificationQueue {
public:
    // Who takes the notifications: the thread that also calls the device (a tool, a test), or a
    // thread of their own that may call the device as it takes them (the capture thread).
    enum class Consumer { SameThread, OwnThread };

    explicit InputNotificationQueue(Consumer consumer = Consumer::SameThread)
        : consumer_(consumer) {}

    // Returns the notification's number, for awaitTaken.
    std::uint64_t push(const InputNotification& notification);
    // The oldest notification, waiting at most `timeout` for one; nothing when none came.
    std::optional<InputNotification> waitPop(std::chrono::milliseconds timeout);
    std::optional<InputNotification> tryPop();
    std::size_t size() const;

    // With a consumer thread of its own, waits until the notification numbered `number` has
    // been taken, unless the calling thread is the one that takes them; returns at once
    // otherwise. False after `bound`. A device destroyed while open waits so for its close
    // notification: the capture thread, which may call the device until it takes that
    // notification, is then done with it. Such a consumer must keep taking notifications until
    // it takes the close notification.
    bool awaitTaken(std::uint64_t number, std::chrono::milliseconds bound);

private:
    InputNotification takeFrontLocked();

    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::condition_variable taken_;
    std::deque<InputNotification> items_;
    std::uint64_t pushedCount_ = 0;
    std::uint64_t takenCount_ = 0;
    const Consumer consumer_;
    std::thread::id lastConsumer_;  // the last to wait for or take a notification
};

}  // namespace tonewell

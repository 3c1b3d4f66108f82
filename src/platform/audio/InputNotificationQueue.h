#pragma once
// The queue through which an input device tells its owner what happened: open, a filled buffer
// (data) and close. Owned by the receiving side (the capture thread), which must keep it alive
// while the device is open. Pushed from the backend's notification thread or the calling thread;
// popped by one consumer thread. Every wait is bounded.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/audio/WaveHeader.h"

namespace tonewell {

enum class InputNotificationKind { Open, Data, Close };

struct InputNotification {
    InputNotificationKind kind = InputNotificationKind::Data;
    WaveHeader* header = nullptr;  // the returned buffer, for Data only
};

class InputNotificationQueue {
public:
    void push(const InputNotification& notification);
    // The oldest notification, waiting at most `timeout` for one; nothing when none came.
    std::optional<InputNotification> waitPop(std::chrono::milliseconds timeout);
    std::optional<InputNotification> tryPop();
    std::size_t size() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<InputNotification> items_;
};

}  // namespace tonewell

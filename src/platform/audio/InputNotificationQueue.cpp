#include "platform/audio/InputNotificationQueue.h"

namespace tonewell {

void InputNotificationQueue::push(const InputNotification& notification) {
    {
        std::lock_guard lock(mutex_);
        items_.push_back(notification);
    }
    arrived_.notify_one();
}

std::optional<InputNotification> InputNotificationQueue::waitPop(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, timeout, [this] { return !items_.empty(); })) return std::nullopt;
    InputNotification front = items_.front();
    items_.pop_front();
    return front;
}

std::optional<InputNotification> InputNotificationQueue::tryPop() {
    std::lock_guard lock(mutex_);
    if (items_.empty()) return std::nullopt;
    InputNotification front = items_.front();
    items_.pop_front();
    return front;
}

std::size_t InputNotificationQueue::size() const {
    std::lock_guard lock(mutex_);
    return items_.size();
}

}  // namespace tonewell

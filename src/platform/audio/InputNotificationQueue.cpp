#include "platform/audio/InputNotificationQueue.h"

namespace tonewell {

std::uint64_t InputNotificationQueue::push(const InputNotification& notification) {
    std::uint64_t number;
    {
        std::lock_guard lock(mutex_);
        items_.push_back(notification);
        number = ++pushedCount_;
    }
    arrived_.notify_one();
    return number;
}

InputNotification InputNotificationQueue::takeFrontLocked() {
    InputNotification front = items_.front();
    items_.pop_front();
    ++takenCount_;
    lastConsumer_ = std::this_thread::get_id();
    taken_.notify_all();
    return front;
}

std::optional<InputNotification> InputNotificationQueue::waitPop(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    lastConsumer_ = std::this_thread::get_id();
    if (!arrived_.wait_for(lock, timeout, [this] { return !items_.empty(); })) return std::nullopt;
    return takeFrontLocked();
}

std::optional<InputNotification> InputNotificationQueue::tryPop() {
    std::lock_guard lock(mutex_);
    if (items_.empty()) return std::nullopt;
    return takeFrontLocked();
}

std::size_t InputNotificationQueue::size() const {
    std::lock_guard lock(mutex_);
    return items_.size();
}

bool InputNotificationQueue::awaitTaken(std::uint64_t number, std::chrono::milliseconds bound) {
    std::unique_lock lock(mutex_);
    if (consumer_ == Consumer::SameThread || lastConsumer_ == std::this_thread::get_id())
        return true;
    return taken_.wait_for(lock, bound, [&] { return takenCount_ >= number; });
}

}  // namespace tonewell

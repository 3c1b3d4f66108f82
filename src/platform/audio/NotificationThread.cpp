#include "platform/audio/NotificationThread.h"

#include "platform/audio/ThreadName.h"

namespace tonewell {

NotificationThread::NotificationThread(const char* name) : worker_([this, name] { run(name); }) {}

NotificationThread::~NotificationThread() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void NotificationThread::post(std::function<void()> event) {
    {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
        ++posted_;
    }
    changed_.notify_all();
}

bool NotificationThread::flush(std::chrono::milliseconds bound) {
    std::unique_lock lock(mutex_);
    if (isCurrentThread()) {
        while (!events_.empty()) {
            std::function<void()> event = std::move(events_.front());
            events_.pop_front();
            lock.unlock();
            event();
            lock.lock();
            ++delivered_;
        }
        changed_.notify_all();
        return true;
    }
    const std::uint64_t target = posted_;
    return changed_.wait_for(lock, bound, [&] { return delivered_ >= target; });
}

void NotificationThread::run(const char* name) {
    NameThisThread(name);
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !events_.empty(); });
        if (events_.empty()) return;  // stopping, nothing left
        std::function<void()> event = std::move(events_.front());
        events_.pop_front();
        lock.unlock();
        event();
        lock.lock();
        ++delivered_;
        changed_.notify_all();
    }
}

}  // namespace tonewell

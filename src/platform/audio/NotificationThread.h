#pragma once
// The thread on which a backend delivers its done notifications, so that the real-time audio
// thread never runs the instrument's code. Events run one at a time in the order posted.
// Owned by one device; post and flush may be called from any thread, including the events.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace tonewell {

class NotificationThread {
public:
    // `name` names the thread for the system's tools (at most 15 characters).
    explicit NotificationThread(const char* name = "tw-notify");
    // Delivers what is still pending, then ends the thread.
    ~NotificationThread();
    NotificationThread(const NotificationThread&) = delete;
    NotificationThread& operator=(const NotificationThread&) = delete;

    void post(std::function<void()> event);
    // Returns once every event posted before the call has run, or false after `bound`. Called on
    // the notification thread itself (from an event), it runs the pending events there and then.
    bool flush(std::chrono::milliseconds bound);
    bool isCurrentThread() const { return std::this_thread::get_id() == worker_.get_id(); }

private:
    void run(const char* name);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> events_;
    std::uint64_t posted_ = 0;
    std::uint64_t delivered_ = 0;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace tonewell

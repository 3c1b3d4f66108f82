#pragma once
// The thread on which a backend delivers its done notifications, so that the real-time audio
// thread never runs the instrument's code. Events run one at a time in the order posted.
// Owned by one device; post and flush may be called from any thread, including the events.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tonewell {

class NotificationThread {
public:
    // `name` names the thread for the system's tools (at most 15 characters).
    explicit NotificationThread(const char* name = "tw-notify");
    // Delivers what is still pending, then ends the thread. Destroyed from one of its own events
    // (a device destroyed from its done handler), it runs the pending events there and then and
    // lets the thread end by itself once that event returns.
    ~NotificationThread();
    NotificationThread(const NotificationThread&) = delete;
    NotificationThread& operator=(const NotificationThread&) = delete;

    void post(std::function<void()> event);
    // Returns once every event posted before the call has run, or false after `bound`. Called on
    // the notification thread itself (from an event), it runs the pending events there and then.
    bool flush(std::chrono::milliseconds bound);
    // The same without a bound: for a device that shuts down and must not leave an event behind.
    void flush();
    bool isCurrentThread() const { return std::this_thread::get_id() == workerId_; }

private:
    // Shared with the worker, which may outlive this object by the rest of one event.
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::function<void()>> events;
        std::uint64_t posted = 0;
        std::uint64_t delivered = 0;
        bool stopping = false;
    };
    static void Run(const std::shared_ptr<State>& state, const char* name);
    static void RunPending(State& state, std::unique_lock<std::mutex>& lock);

    std::shared_ptr<State> state_;
    std::thread worker_;
    std::thread::id workerId_;
};

}  // namespace tonewell

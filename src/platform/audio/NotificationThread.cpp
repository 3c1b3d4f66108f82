#include "platform/audio/NotificationThread.h"

#include "platform/audio/ThreadName.h"

namespace tonewell {

NotificationThread::NotificationThread(const char* name)
    : state_(std::make_shared<State>()),
      worker_([state = state_, name] { Run(state, name); }),
      workerId_(worker_.get_id()) {}

NotificationThread::~NotificationThread() {
    if (isCurrentThread()) {
        // Joining would wait for this very event: deliver the rest now and let the worker end
        // on its own, with the state it shares.
        std::unique_lock lock(state_->mutex);
        RunPending(*state_, lock);
        state_->stopping = true;
        lock.unlock();
        worker_.detach();
        return;
    }
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->changed.notify_all();
    worker_.join();
}

void NotificationThread::post(std::function<void()> event) {
    {
        std::lock_guard lock(state_->mutex);
        state_->events.push_back(std::move(event));
        ++state_->posted;
    }
    state_->changed.notify_all();
}

void NotificationThread::RunPending(State& state, std::unique_lock<std::mutex>& lock) {
    while (!state.events.empty()) {
        std::function<void()> event = std::move(state.events.front());
        state.events.pop_front();
        lock.unlock();
        event();
        event = nullptr;
        lock.lock();
        ++state.delivered;
    }
    state.changed.notify_all();
}

bool NotificationThread::flush(std::chrono::milliseconds bound) {
    std::unique_lock lock(state_->mutex);
    if (isCurrentThread()) {
        RunPending(*state_, lock);
        return true;
    }
    const std::uint64_t target = state_->posted;
    return state_->changed.wait_for(lock, bound,
                                    [&] { return state_->delivered >= target; });
}

void NotificationThread::flush() {
    std::unique_lock lock(state_->mutex);
    if (isCurrentThread()) {
        RunPending(*state_, lock);
        return;
    }
    const std::uint64_t target = state_->posted;
    state_->changed.wait(lock, [&] { return state_->delivered >= target; });
}

void NotificationThread::Run(const std::shared_ptr<State>& state, const char* name) {
    NameThisThread(name);
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->changed.wait(lock, [&] { return state->stopping || !state->events.empty(); });
        if (state->events.empty()) return;  // stopping, nothing left
        std::function<void()> event = std::move(state->events.front());
        state->events.pop_front();
        lock.unlock();
        event();
        event = nullptr;  // what the event holds goes before the next one runs
        lock.lock();
        ++state->delivered;
        state->changed.notify_all();
    }
}

}  // namespace tonewell

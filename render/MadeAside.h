#pragma once
// One value made on a thread of its own that its owner never waits for
// unless it asks to: the owner looks whether it is ready at its own pace
// (a window between its frames) and may go before the making ends. Then
// the thread finishes alone and lets the value go where it was made. The
// show makes another monitor's device this way, so its window keeps
// drawing the primary's frames and its end never hangs on a driver.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace qv {

template <class T>
class MadeAside {
public:
    // Starts making the value. Where no thread can be started it is made
    // here and now, and is ready when the constructor returns.
    explicit MadeAside(std::function<T()> make) : state_(std::make_shared<State>()) {
        try {
            std::thread([state = state_, make]() mutable { state->finish(make()); }).detach();
        } catch (const std::system_error&) {
            state_->finish(make());
        }
    }
    // Never waits: a making still running keeps what it shares with this
    // object alive and lets its value go when it ends.
    ~MadeAside() = default;
    MadeAside(const MadeAside&) = delete;
    MadeAside& operator=(const MadeAside&) = delete;

    bool ready() const {
        std::lock_guard<std::mutex> lock(state_->mutex);
        return state_->done;
    }
    // Waits at most timeout for the making to end; whether it has.
    bool waitFor(std::chrono::milliseconds timeout) const {
        std::unique_lock<std::mutex> lock(state_->mutex);
        return state_->ended.wait_for(lock, timeout, [this] { return state_->done; });
    }
    // The value once it is ready, handed over once; an empty value before
    // it is ready and after it was taken.
    T take() {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (!state_->done) return T{};
        return std::exchange(state_->value, T{});
    }

private:
    struct State {
        void finish(T made) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                value = std::move(made);
                done = true;
            }
            ended.notify_all();
        }
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
        T value{};
    };
    std::shared_ptr<State> state_;
};

}  // namespace qv

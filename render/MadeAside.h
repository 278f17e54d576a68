#pragma once
// One value made on a thread of its own while its owner goes on with other
// work: the owner looks whether it is ready at its own pace (a window
// between its frames), or waits for it, and it is handed over once. The
// show loads the drawing library while it reads its pictures and makes its
// window, makes another monitor's device while the primary's frames go on,
// and composes a picture ahead of its scene this way.
// An owner that goes before the making ends either waits for it (the making
// uses what the owner's owner keeps) or leaves it to its thread, which then
// finishes alone and lets the value go where it was made (a device whose
// driver hangs never holds up the show's end).
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace qv {

template <class T>
class MadeAside {
public:
    enum class AtEnd { Wait, LetGo };

    // Starts making the value with make(), a callable giving a T. Where no
    // thread can be started it is made here and now, and is ready when the
    // constructor returns.
    template <class Make>
    explicit MadeAside(Make make, AtEnd atEnd = AtEnd::LetGo) : state_(std::make_shared<State>()), atEnd_(atEnd) {
        auto job = std::make_shared<Make>(std::move(make));
        try {
            std::thread([state = state_, job] { state->finish((*job)()); }).detach();
        } catch (const std::system_error&) {
            state_->finish((*job)());
        }
    }
    ~MadeAside() {
        if (atEnd_ == AtEnd::Wait) wait();
    }
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
    // The same, waiting for the making to end first.
    T takeWhenMade() {
        wait();
        return take();
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

    void wait() const {
        std::unique_lock<std::mutex> lock(state_->mutex);
        state_->ended.wait(lock, [this] { return state_->done; });
    }

    std::shared_ptr<State> state_;
    AtEnd atEnd_;
};

}  // namespace qv

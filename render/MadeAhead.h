#pragma once
// One value made on a thread of its own while its owner goes on with other
// work, and handed over once: the show loads the drawing library while it
// reads its pictures and makes its window, then makes its device with what
// was loaded.
#include <functional>
#include <system_error>
#include <thread>
#include <utility>

namespace qv {

template <class T>
class MadeAhead {
public:
    // Starts making the value. Where no thread can be started nothing is
    // made ahead, and take() gives an empty value: the caller makes its own.
    explicit MadeAhead(std::function<T()> make) {
        try {
            thread_ = std::thread([this, make = std::move(make)] { value_ = make(); });
        } catch (const std::system_error&) {
            thread_ = std::thread();
        }
    }
    // A value never taken is still waited for: the thread uses this object.
    ~MadeAhead() { wait(); }
    MadeAhead(const MadeAhead&) = delete;
    MadeAhead& operator=(const MadeAhead&) = delete;

    // Waits until the value is made and hands it over; every later call
    // gives an empty value.
    T take() {
        wait();
        return std::exchange(value_, T{});
    }

private:
    void wait() {
        if (thread_.joinable()) thread_.join();
    }

    T value_{};
    std::thread thread_;
};

}  // namespace qv

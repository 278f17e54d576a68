#pragma once
// One background thread that runs jobs in the order they were handed over
// (Windows builds only), so a window's long work never holds up its
// messages. The thread joins COM's single-threaded apartment, as the
// picture decoder needs. A window that hands work over must never wait for
// it on its own thread while the job may still call back into it.
#include <windows.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace qv::win {

class Worker {
public:
    Worker();
    // Runs what is queued to its end, then stops.
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void post(std::function<void()> job);

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace qv::win

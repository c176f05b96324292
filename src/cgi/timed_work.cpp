// The timed work: a detached thread and a condition waited for in short
// steps, so that a termination request is seen soon.
#include "cgi/timed_work.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "system/child_process.h"

namespace tarnvel {

namespace {

// What the thread and the waiter share; it lives as long as either.
struct shared_work {
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    http_response response;
};

} // namespace

work_end run_timed(const std::function<http_response()>& work, int seconds, http_response& response)
{
    const auto shared = std::make_shared<shared_work>();
    std::thread([shared, work] {
        http_response made = work();
        const std::lock_guard<std::mutex> hold(shared->lock);
        shared->response = std::move(made);
        shared->done = true;
        shared->finished.notify_one();
    }).detach();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::unique_lock<std::mutex> hold(shared->lock);
    for (;;) {
        if (shared->done) {
            response = std::move(shared->response);
            return work_end::done;
        }
        if (termination_requested())
            return work_end::stopped;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return work_end::timed_out;
        const auto step = std::chrono::milliseconds(100);
        shared->finished.wait_for(hold, deadline - now < step ? deadline - now : step);
    }
}

} // namespace tarnvel

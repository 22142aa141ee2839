// A progress bar on standard error for long work: drawn only when standard
// error is a terminal and the work has already taken half a second, redrawn
// ten times a second from a thread of its own, erased when done.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

namespace spatialgeom::tool {

class ProgressBar {
public:
    // total: the number of steps the work takes. The bar stays silent when
    // enabled is false.
    ProgressBar(std::string label, std::size_t total, bool enabled);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Safe from any thread.
    void advance(std::size_t steps) { done_.fetch_add(steps, std::memory_order_relaxed); }

    // Whether the tool's progress should be shown: standard error is a terminal.
    static bool wanted();

private:
    void run();
    void draw(bool final);

    std::string label_;
    std::size_t total_;
    std::atomic<std::size_t> done_{0};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread drawer_;
};

}  // namespace spatialgeom::tool

#include "tools/progress_bar.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace spatialgeom::tool {
namespace {

constexpr auto kQuietPeriod = std::chrono::milliseconds(500);
constexpr auto kRedrawPeriod = std::chrono::milliseconds(100);
constexpr int kBarWidth = 40;

}  // namespace

ProgressBar::ProgressBar(std::string label, std::size_t total, bool enabled) : label_(std::move(label)), total_(total) {
    if (enabled && total > 0) drawer_ = std::thread([this] { run(); });
}

ProgressBar::~ProgressBar() {
    if (!drawer_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    drawer_.join();
}

bool ProgressBar::wanted() { return isatty(STDERR_FILENO) == 1; }

void ProgressBar::run() {
    std::unique_lock lock(mutex_);
    if (wake_.wait_for(lock, kQuietPeriod, [this] { return stopping_; })) return;
    while (!wake_.wait_for(lock, kRedrawPeriod, [this] { return stopping_; })) draw(false);
    draw(true);
}

void ProgressBar::draw(bool final) {
    const std::size_t done = std::min(done_.load(std::memory_order_relaxed), total_);
    const int filled = static_cast<int>(kBarWidth * done / total_);
    const int percent = static_cast<int>(100 * done / total_);
    if (final) {
        // Erase the bar: the line is left as it was found.
        std::fprintf(stderr, "\r\033[K");
    } else {
        std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", label_.c_str(), filled, "########################################",
                     kBarWidth - filled, "", percent);
    }
    std::fflush(stderr);
}

}  // namespace spatialgeom::tool

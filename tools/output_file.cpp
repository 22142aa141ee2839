#include "tools/output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

// The temporary file an interrupting signal must remove: one at a time (a
// run writes one output file). Set before the handlers are installed,
// cleared after they are restored.
char gPendingPath[4096];
std::atomic<bool> gPending{false};

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction gPrevious[std::size(kSignals)];

extern "C" void removePendingAndDie(int signal) {
    if (gPending.load()) unlink(gPendingPath);
    // Dies of the signal as it would have without us (default action).
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    raise(signal);
}

void watchSignals(const std::string& temporaryPath) {
    if (temporaryPath.size() >= sizeof gPendingPath) return;
    std::memcpy(gPendingPath, temporaryPath.c_str(), temporaryPath.size() + 1);
    gPending.store(true);
    struct sigaction action {};
    action.sa_handler = removePendingAndDie;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &gPrevious[i]);
}

void unwatchSignals() {
    if (!gPending.load()) return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
    gPending.store(false);
}

std::string systemMessage(int error) { return std::strerror(error); }

}  // namespace

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {
    if (path_.empty() || path_ == "-") return;
    const std::size_t slash = path_.rfind('/');
    const std::string directory = slash == std::string::npos ? std::string() : path_.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    if (name.empty()) throw usageError("--output needs a file name, not the directory '" + path_ + "'");
    // A hidden name that says what it is; O_EXCL so that nothing existing
    // is ever written through.
    int descriptor = -1;
    for (unsigned attempt = 0; descriptor < 0; ++attempt) {
        temporaryPath_ =
            directory + "." + name + "." + std::to_string(getpid()) + "." + std::to_string(attempt) + ".partial";
        descriptor = open(temporaryPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0 && (errno != EEXIST || attempt >= 100)) {
            throw inputError("cannot create a file next to '" + path_ + "': " + systemMessage(errno));
        }
    }
    watchSignals(temporaryPath_);
    stream_ = fdopen(descriptor, "w");
    if (stream_ == nullptr) {
        const int error = errno;
        close(descriptor);
        stream_ = stdout;
        discard();
        throw inputError("cannot write '" + path_ + "': " + systemMessage(error));
    }
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard() {
    if (temporaryPath_.empty()) return;
    if (stream_ != stdout) std::fclose(stream_);
    stream_ = stdout;
    unlink(temporaryPath_.c_str());
    unwatchSignals();
    temporaryPath_.clear();
}

void OutputFile::commit() {
    if (temporaryPath_.empty()) {
        std::fflush(stdout);
        return;
    }
    int error = 0;
    if (std::fflush(stream_) != 0 || std::ferror(stream_)) error = errno != 0 ? errno : EIO;
    if (error == 0 && fsync(fileno(stream_)) != 0) error = errno;
    const int closed = std::fclose(stream_);
    stream_ = stdout;
    if (error == 0 && closed != 0) error = errno;
    if (error == 0 && std::rename(temporaryPath_.c_str(), path_.c_str()) != 0) error = errno;
    if (error != 0) {
        discard();
        throw inputError("cannot write '" + path_ + "': " + systemMessage(error));
    }
    unwatchSignals();
    temporaryPath_.clear();
}

}  // namespace spatialgeom::tool

#include "runtime/FlushBehind.h"

#include "runtime/Error.h"
#include "runtime/NativeFile.h"

namespace xsc {

#ifdef _WIN32
constexpr bool kFlushBehind = false;
#else
constexpr bool kFlushBehind = true;
#endif

FlushBehind::FlushBehind(NativeFile& file, std::int64_t every) : file_(file), every_(every) {
    if (kFlushBehind) thread_ = std::thread([this] { Run(); });
}

FlushBehind::~FlushBehind() { Stop(); }

void FlushBehind::Written(std::int64_t count) {
    if (!thread_.joinable()) return;
    pending_ += count;
    if (pending_ < every_) return;
    pending_ = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        flushWanted_ = true;
    }
    wake_.notify_one();
}

void FlushBehind::Finish() {
    Stop();
    if (!failure_.empty()) throw Error::InMap("cannot flush to disk: " + failure_);
}

void FlushBehind::Stop() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

// One flush at a time; a request made while one runs is served by the next, which then covers
// everything written meanwhile. A request is served even when the writer stops at once.
void FlushBehind::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return flushWanted_ || stopping_; });
        if (!flushWanted_) return;
        flushWanted_ = false;
        lock.unlock();
        const bool flushed = file_.Sync();
        const std::string reason = flushed ? std::string() : SystemReason();
        lock.lock();
        if (!flushed && failure_.empty()) failure_ = reason;
    }
}

}  // namespace xsc

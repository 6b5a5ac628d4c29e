#pragma once
// Flushes a file to the disk on a second thread while its writer goes on writing, so that the
// writer's own closing flush finds little left to do. A compile moves hundreds of megabytes and
// must have them on disk before it reports success; flushed only at the end, the disk would sit
// idle while the bytes are read, corrected and written, then take them all at once.
//
// Only a speed-up: the writer still flushes at the end, and every byte is written as it would be.
// A flush that fails is not forgotten: the system reports a write error once, possibly to this
// thread's flush and not to the closing one, so Finish() throws it.
//
// On Windows a flush holds up every other call on the same handle, the writes included, so there
// nothing is flushed behind the writer: the closing flush does it all.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace xsc {

class NativeFile;

class FlushBehind {
public:
    // Bytes written between two flushes by default: a few chunks of a move, so that a small map
    // is not flushed over and over.
    static constexpr std::int64_t kEvery = 16 * 1024 * 1024;

    // Flushes `file` whenever at least `every` bytes were written to it since the last flush
    // began. The file must stay open until Finish() returns or this object is gone.
    explicit FlushBehind(NativeFile& file, std::int64_t every = kEvery);
    ~FlushBehind();  // waits for the flushes asked for; reports nothing
    FlushBehind(const FlushBehind&) = delete;
    FlushBehind& operator=(const FlushBehind&) = delete;

    // The writer wrote `count` more bytes.
    void Written(std::int64_t count);
    // Waits for the flushes asked for; throws the failure of any (an Error naming the system's
    // reason).
    void Finish();

private:
    void Run();
    void Stop();

    NativeFile& file_;
    const std::int64_t every_;
    std::int64_t pending_ = 0;  // written since the last flush began (the writer's count)
    std::mutex mutex_;
    std::condition_variable wake_;
    bool flushWanted_ = false;
    bool stopping_ = false;
    std::string failure_;       // the first failed flush's reason
    std::thread thread_;
};

}  // namespace xsc

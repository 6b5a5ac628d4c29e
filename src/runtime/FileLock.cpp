#include "runtime/FileLock.h"

#include "runtime/Error.h"
#include "runtime/Utf8Path.h"

namespace xsc {

FileLock FileLock::Take(const std::filesystem::path& file, Kind kind) {
    FileLock lock(NativeFile::Open(file, NativeFile::Access::Read));
    if (!lock.file_.IsOpen()) throw Error::InMap("cannot open for reading: " + SystemReason());
    if (!lock.file_.IsRegularFile()) return lock;
    switch (lock.file_.TryLock(kind == Kind::Exclusive ? NativeFile::LockKind::Exclusive : NativeFile::LockKind::Shared)) {
        case NativeFile::LockResult::Taken: break;
        case NativeFile::LockResult::Busy: throw Error(Utf8(file.filename()) + " is being compiled by another process");
        case NativeFile::LockResult::Failed: throw Error::InMap("cannot lock the map: " + SystemReason());
    }
    return lock;
}

}  // namespace xsc

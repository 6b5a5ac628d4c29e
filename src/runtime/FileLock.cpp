#include "runtime/FileLock.h"

#include "runtime/Error.h"
#include "runtime/Utf8Path.h"

namespace xsc {

FileLock FileLock::Take(const std::filesystem::path& file, Kind kind) {
    FileLock lock(NativeFile::Open(file, NativeFile::Access::Read));
    if (!lock.file_.IsOpen()) throw Error::InMap("cannot open for reading: " + SystemReason());
    if (!lock.file_.IsRegularFile()) return lock;
    Lock(lock.file_, kind, file);
    return lock;
}

void FileLock::Lock(NativeFile& file, Kind kind, const std::filesystem::path& name) {
    switch (file.TryLock(kind == Kind::Exclusive ? NativeFile::LockKind::Exclusive : NativeFile::LockKind::Shared)) {
        case NativeFile::LockResult::Taken: return;
        case NativeFile::LockResult::Busy: throw Error(Utf8(name.filename()) + " is being compiled by another process");
        case NativeFile::LockResult::Failed: throw Error::InMap("cannot lock the map: " + SystemReason());
    }
}

}  // namespace xsc

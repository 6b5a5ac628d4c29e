#include "map/CompileMark.h"


#include "map/MapFormat.h"
#include "runtime/BinaryStream.h"
#include "runtime/Error.h"
#include "runtime/FileLock.h"
#include "runtime/RollbackJournal.h"
#include "runtime/Utf8Path.h"

namespace xsc {

using namespace mapformat;

bool HasCompileMark(BinaryStream& in) {
    const auto size = static_cast<std::int64_t>(kCompileMark.size());
    if (in.Length() < kCompileMarkField + size) return false;
    in.SetPosition(kCompileMarkField);
    return in.Read(kCompileMark.size()) == kCompileMark;
}

void RefuseMarkedMap(const std::filesystem::path& path, MarkedMapLock lock) {
    // A live compile through another name holds the lock of the same file.
    if (lock == MarkedMapLock::Probe) {
        const FileLock probe = FileLock::Take(path, FileLock::Kind::Shared);
    }
    const std::filesystem::path journal = RollbackJournal::PathFor(path);
    throw Error::InMap("the map is marked as being compiled: a compile of it was interrupted and did not finish, and "
                       "no journal that undoes it was found at " + Utf8(journal) +
                       ". If the map was compiled under another name (a hard link, or before it was moved or "
                       "renamed), open it under that name, beside its journal, or move the journal here as " +
                       Utf8(journal.filename()) + "; otherwise restore the map from a copy");
}

}  // namespace xsc

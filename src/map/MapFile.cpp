#include "map/MapFile.h"

#include "runtime/PausePoint.h"

namespace xsc {

MapFile MapFile::Open(const std::filesystem::path& path, Access access) {
    Recovery found;
    if (JournalBeside(path)) {
        // Undoing a compile writes the map: under the exclusive lock, taken for that alone.
        const FileLock exclusive = FileLock::Take(path, FileLock::Kind::Exclusive);
        found = RecoverFile(path, exclusive);
    }
    BinaryStream stream = BinaryStream::OpenAsBinaryFile(
        path, access == Access::Write ? BinaryStream::Mode::ReadWrite : BinaryStream::Mode::ReadOnly);
    // The lock lives on the stream's own handle: one handle, one lock, released when it closes.
    FileLock::Lock(stream.File(), access == Access::Write ? FileLock::Kind::Exclusive : FileLock::Kind::Shared, path);
    PausePoint(pause::kLocked);
    return MapFile(path, access, std::move(stream), std::move(found));
}

}  // namespace xsc

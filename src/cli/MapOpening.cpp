#include "MapOpening.h"

#include <ostream>

#include "runtime/RollbackJournal.h"
#include "runtime/Utf8Path.h"

namespace xsc::cli {

OpenedMap OpenMapForCommand(const std::filesystem::path& path, MapFile::Access access, std::ostream& notices) {
    OpenedMap opened{MapFile::Open(path, access), HaloPcMap()};
    const Recovery& recovery = opened.file.Found();
    if (recovery.outcome != Recovery::Outcome::None) notices << "xsc: " << Utf8(path) << ": " << recovery.message << "\n";
    opened.map.LoadMap(opened.file);
    return opened;
}

int RunRecover(const std::filesystem::path& path, std::ostream& out) {
    const Recovery recovery = RecoverFile(path);
    if (recovery.outcome != Recovery::Outcome::None) out << Utf8(path) << ": " << recovery.message << "\n";
    // What is left must be a whole map, as every other command that opens it requires: a path
    // that is no map, or a map marked as being compiled without its journal, is an error.
    HaloPcMap map;
    map.LoadMap(path);
    if (recovery.outcome == Recovery::Outcome::None) out << Utf8(path) << ": no compile of this map was interrupted\n";
    return recovery.outcome == Recovery::Outcome::Foreign ? 1 : 0;
}

}  // namespace xsc::cli

#include "MapOpening.h"

#include <ostream>

#include "runtime/RollbackJournal.h"

namespace xsc::cli {

HaloPcMap OpenMapForCommand(const std::filesystem::path& path, std::ostream& notices) {
    const Recovery recovery = RecoverFile(path);
    if (recovery.outcome != Recovery::Outcome::None) notices << "xsc: " << path.string() << ": " << recovery.message << "\n";
    HaloPcMap map;
    map.LoadMap(path);
    return map;
}

int RunRecover(const std::filesystem::path& path, std::ostream& out) {
    const Recovery recovery = RecoverFile(path);
    if (recovery.outcome == Recovery::Outcome::None) {
        out << path.string() << ": no interrupted compile; the map is as the last compile left it\n";
        return 0;
    }
    out << path.string() << ": " << recovery.message << "\n";
    return recovery.outcome == Recovery::Outcome::Foreign ? 1 : 0;
}

}  // namespace xsc::cli

#include "runtime/FileSystem.h"

#include "runtime/Error.h"
#include "runtime/FaultPoint.h"
#include "runtime/NativeFile.h"
#include "runtime/Utf8Path.h"

namespace xsc {

void SyncFolderOf(const std::filesystem::path& file) {
    FaultPoint("flush folder");
    std::filesystem::path folder = file.parent_path();
    if (folder.empty()) folder = ".";
    SyncFolder(folder);
}

bool RemoveDurably(const std::filesystem::path& file) {
    FaultPoint("remove");
    switch (RemoveName(file)) {
        case RemoveResult::Removed: break;
        case RemoveResult::Missing: return false;
        case RemoveResult::Failed: throw Error("cannot remove " + Utf8(file) + ": " + SystemReason());
    }
    SyncFolderOf(file);
    return true;
}

}  // namespace xsc

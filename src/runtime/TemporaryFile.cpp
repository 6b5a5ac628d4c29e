#include "runtime/TemporaryFile.h"

#include <optional>
#include <string>
#include <string_view>

#include "runtime/Error.h"
#include "runtime/FaultPoint.h"
#include "runtime/FileSystem.h"
#include "runtime/Utf8Path.h"

namespace xsc {
namespace {

constexpr std::string_view kSuffix = ".xsc-";
constexpr std::size_t kRandomPart = 6;  // the characters CreateUnique adds

// ".<name>.xsc-XXXXXX": a temporary file of ours.
bool IsTemporaryName(const std::string& name) {
    return name.size() > 1 + kSuffix.size() + kRandomPart && name[0] == '.' &&
           name.compare(name.size() - kRandomPart - kSuffix.size(), kSuffix.size(), kSuffix) == 0;
}

// A temporary file whose writer was killed stays behind, as large as the map it was becoming.
// Every writer holds the lock of its own temporary file while it lives, so a temporary file that
// can be locked has no writer left: it is removed. Best effort: what cannot be opened, locked or
// removed (another user's) is left alone.
void RemoveLeftovers(const std::filesystem::path& folder) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path path = it->path();
        if (!IsTemporaryName(Utf8(path.filename())) || !it->is_regular_file(ec) || it->is_symlink(ec)) continue;
        NativeFile file = NativeFile::Open(path, NativeFile::Access::Read);
        if (!file.IsOpen() || file.TryLock(NativeFile::LockKind::Exclusive) != NativeFile::LockResult::Taken) continue;
        // (A cleaner may have removed the name meanwhile, and another file may stand there now.)
        if (file.IsNamed(path)) RemoveName(path);
    }
}

}  // namespace

TemporaryFile TemporaryFile::Beside(const std::filesystem::path& target, const std::filesystem::path* modeFrom) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    RemoveLeftovers(folder);
    std::filesystem::path prefix = folder / ".";  // ".<name>.xsc-" and kRandomPart characters
    prefix += target.filename();
    prefix += std::string(kSuffix);
    for (;;) {
        std::filesystem::path created;
        NativeFile file = NativeFile::CreateUnique(prefix, created);
        if (!file.IsOpen()) {
            throw Error("cannot create a temporary file in " + Utf8(folder) + ": " + SystemReason(), Error::Subject::Output);
        }
        TemporaryFile temporary{created};
        temporary.file_ = std::move(file);
        // Locked for as long as it lives; another writer's cleaner that took the new file for a
        // leftover before the lock removed its name: then a new one. (A lock that fails for
        // another reason: the system has no locks here.)
        const bool held = temporary.file_.TryLock(NativeFile::LockKind::Exclusive) == NativeFile::LockResult::Busy;
        if (held || !temporary.file_.IsNamed(temporary.path_)) {
            temporary.committed_ = true;  // not ours to remove any more
            continue;
        }
        if (modeFrom != nullptr) {
            if (const std::optional<unsigned> bits = PermissionsOf(*modeFrom)) temporary.mode_ = static_cast<int>(*bits);
        }
        PausePoint(pause::kTemporaryFileCreated);
        return temporary;
    }
}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : path_(std::move(other.path_)), committed_(other.committed_), mode_(other.mode_), file_(std::move(other.file_)) {
    other.committed_ = true;  // the moved-from object no longer owns the file
}

TemporaryFile::~TemporaryFile() {
    if (!committed_ && !path_.empty()) RemoveName(path_);
    file_.Close();  // releases the lock, after the name is gone
}

void TemporaryFile::CommitTo(const std::filesystem::path& target) {
    if (mode_ >= 0 && !file_.SetPermissions(static_cast<unsigned>(mode_))) {
        throw Error("cannot set the permissions of " + Utf8(path_) + ": " + SystemReason(), Error::Subject::Output);
    }
    FaultPoint("flush");
    if (!file_.Sync()) throw Error("cannot flush " + Utf8(path_) + " to disk: " + SystemReason(), Error::Subject::Output);
    FaultPoint("rename");
    if (!ReplaceName(path_, target)) {
        throw Error("cannot rename the finished file into place: " + SystemReason(), Error::Subject::Output);
    }
    committed_ = true;
    file_.Close();  // its lock is of no use behind the target's name
    SyncFolderOf(target);  // make the rename itself durable
}

}  // namespace xsc

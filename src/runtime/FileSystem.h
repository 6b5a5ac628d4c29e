#pragma once
// Making changes to folders durable: a new, renamed or removed name survives a crash only once
// its folder has been flushed too.

#include <filesystem>

namespace xsc {

// Flushes the folder that holds `file` (best effort: some file systems refuse it).
void SyncFolderOf(const std::filesystem::path& file);
// Removes `file` (a link itself, never what it points to) and flushes its folder. Returns false
// when there was nothing to remove; throws Error when it cannot be removed.
bool RemoveDurably(const std::filesystem::path& file);

}  // namespace xsc

#pragma once

#include <filesystem>
#include <iosfwd>

#include "map/HaloPcMap.h"
#include "map/MapFile.h"

namespace xsc::cli {

// A map as a command has it: opened once, with its lock, for the whole command, and loaded.
struct OpenedMap {
    MapFile file;
    HaloPcMap map;
    BinaryStream& Stream() { return file.Stream(); }
};

// Every command that reads a map opens it here, so that what must happen whenever a map is opened
// happens in one place: its lock is taken (MapFile::Access::Write: a compile in place; Read:
// everything else), a compile of it that a crash interrupted is undone (the journal beside it),
// and what was found is said once on `notices`. Throws Error (about the map) when it cannot be
// loaded, or when another process is compiling it.
OpenedMap OpenMapForCommand(const std::filesystem::path& path, MapFile::Access access, std::ostream& notices);

// `xsc recover MAP`: the same recovery, asked for explicitly, then the map loaded as every command
// loads it (so a path that is no map throws the same Error). Returns the exit code: 0 when the
// map is as it should be, 1 when a journal was found that could not be applied.
int RunRecover(const std::filesystem::path& path, std::ostream& out);

}  // namespace xsc::cli

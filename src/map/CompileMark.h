#pragma once
// The compile mark in the map header (map/MapFormat.h: kCompileMarkField): set before a compile in
// place changes anything else, cleared as its last change. A map that carries it is in the middle
// of a compile, or was left so by a crash: its journal restores it, and without the journal its
// bytes cannot be trusted.

#include <filesystem>
#include <string_view>

namespace xsc {

class BinaryStream;

// True when the header of the map in `in` holds the mark.
bool HasCompileMark(BinaryStream& in);

// The refusal of a marked map at `path`: "being compiled by another process" while a compile holds
// its lock (Probe: take a lock to find out; Held: the caller holds one, so none does), else where
// xsc looked for its journal and what to do.
enum class MarkedMapLock { Probe, Held };
[[noreturn]] void RefuseMarkedMap(const std::filesystem::path& path, MarkedMapLock lock);

}  // namespace xsc

#pragma once
// Compiling scripts into small generated maps, and a plain model of the write phase to compare
// whole files against: the grown file assembled piece by piece and the fix-up as a naive loop
// over every word, exactly in the order the format's tools apply them.

#include <filesystem>
#include <ostream>
#include <string>

#include "mapgen/MapGenerator.h"
#include "support/TestFiles.h"
#include "scriptdata/BuildScriptData.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc::test {

// A small map: 4 KB head, 8 tags, 200 slots, 64 KB of tag data.
mapgen::MapOptions SmallMap(std::uint64_t seed = 1);

struct Compiled {
    Bytes before;
    Bytes after;
    mapgen::MapLayout layout;
    CompileSummary summary;
    ScriptCompilier state;
};

// Generates the map into `dir`, compiles `script` into it in place and returns both files.
Compiled CompileInto(const TempDir& dir, const mapgen::MapOptions& options, const std::string& script,
                     const CompileOptions& compileOptions = {});

// The grown file as the format's write phase and fix-up define it, from the old bytes and the
// blocks the build assembled (state) and the script records (concatenated).
Bytes ModelWrite(const Bytes& old, const mapgen::MapLayout& layout, const ScriptCompilier& state,
                 const Bytes& records, std::int32_t scripts);

// The script records as they stand in the compiled file.
Bytes RecordsIn(const Bytes& after, const mapgen::MapLayout& layout, std::int32_t stringBytes, std::int32_t scripts);

// Node slot k of the compiled file, and its 16-bit fields.
struct Node {
    std::uint16_t identity, engine, valueType, expType, sibIndex, sibIdentity;
    std::uint32_t stringOffset;
    std::uint16_t low, high;  // child pointer (index, identity) or value halves
    std::uint32_t value() const { return low | (static_cast<std::uint32_t>(high) << 16); }
    bool operator==(const Node&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Node& n);
Node NodeAt(const Bytes& file, const mapgen::MapLayout& layout, int slot);

// Identity of slot k: 0xE373 + k in 16 bits.
inline std::uint16_t IdentityOf(int slot) { return static_cast<std::uint16_t>(0xE373 + slot); }

}  // namespace xsc::test

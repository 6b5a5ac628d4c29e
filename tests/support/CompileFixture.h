#pragma once
// Compiling scripts into small generated maps and decoding what was written. Whole compiled files
// are held to the independent reference of tests/robustness (CompileOracle.h).

#include <filesystem>
#include <ostream>
#include <string>

#include "mapgen/MapGenerator.h"
#include "support/TestFiles.h"
#include "compile/BuildScriptData.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc::test {

// A small map: 4 KB head, 8 tags, 200 slots, 64 KB of tag data.
mapgen::MapOptions SmallMap(std::uint64_t seed = 1);
// The same with the named things scripts name (mapgen/SampleNames.h): 24 tags, a 1 KB tail.
mapgen::MapOptions NamedMap(std::uint64_t seed = 1);

struct Compiled {
    Bytes before;
    Bytes after;
    mapgen::MapLayout layout;
    CompileSummary summary;
    ScriptCompilier state;
    std::string script;
};

// The document a compile builds from a script of either language (told by its first character;
// the source language for the custom build). Throws Error for the first error.
XmlDocument ScriptDocument(const std::string& script);

// A script "main" of `statements` print calls (texts made of `text`, which sets the strings'
// length), then an empty script "b".
std::string PrintScript(int statements, const std::string& text);

// Generates the map into `dir`, compiles `script` (either language) into it in place and returns
// both files.
Compiled CompileInto(const TempDir& dir, const mapgen::MapOptions& options, const std::string& script,
                     const CompileOptions& compileOptions = {});

// The script records as they stand in the compiled file.
Bytes RecordsIn(const Bytes& after, const mapgen::MapLayout& layout, std::int32_t stringBytes, std::int32_t scripts);

// Node slot k of the compiled file, and its 16-bit fields.
struct Node {
    std::uint16_t identity, engine, valueType, expType, sibIndex, sibIdentity;
    std::uint32_t stringOffset;
    std::uint16_t low, high;  // child pointer (index, identity) or value halves
    bool operator==(const Node&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Node& n);
Node NodeAt(const Bytes& file, const mapgen::MapLayout& layout, int slot);

// Identity of slot k: 0xE373 + k in 16 bits.
inline std::uint16_t IdentityOf(int slot) { return static_cast<std::uint16_t>(0xE373 + slot); }

}  // namespace xsc::test

#pragma once
// One run of each fuzz target, shared by the fuzz targets in fuzz/ (which abort on a violation)
// and by the test that replays the seeds and every input a fuzzer found a fault with.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CompileOracle.h"
#include "mapgen/MapGenerator.h"

namespace xsc {
class NameResolver;
struct DecodedScriptData;
}

namespace xsc::robust {

Verdict RunLoadMapInput(const std::uint8_t* data, std::size_t size);     // a map file: load, read the script fields
Verdict RunCompileXmlInput(const std::uint8_t* data, std::size_t size);  // a script, into a fixed generated map
Verdict RunCompileMapInput(const std::uint8_t* data, std::size_t size);  // a map file, kFixedScript compiled into it
// A map file whose compiled scripts are decompiled with the map's names: an xsc::Error, or a
// document that the compiler reads and whose build gives back the map's texts (where no value was
// renamed) and the names and types of its script records.
Verdict RunDecompileInput(const std::uint8_t* data, std::size_t size);
// The node slots of a fixed small map whose script data is laid out as the game's official tools
// lay it out (OfficialNodesMap), replaced from slot 0 by the input's bytes, then decompiled and
// judged as RunDecompileInput judges a map.
Verdict RunOfficialNodesInput(const std::uint8_t* data, std::size_t size);
// That map (3 generated scripts, 4 globals, 200 slots, about 20 KB) and where its slots lie.
const std::vector<std::uint8_t>& OfficialNodesMap(std::int64_t* firstSlot = nullptr, std::int64_t* slotBytes = nullptr);
// A script in the source language, checked for the custom build as `xsc check --map` would check
// it against a fixed generated map: an error, or a compile into that map that the reference
// accepts, whose XML conversion builds the same nodes, texts and records, and whose build
// decompiles into source that builds them again.
Verdict RunCompileHscInput(const std::uint8_t* data, std::size_t size);

// Where two decodings of scripts and globals differ up to layout (the same records' names and
// types, and per node: kind, depth, arguments, function or script number, value type of values
// and global reads, value, text; not slots, string offsets or calls' value types), or nothing.
std::optional<std::string> TreeDifference(const DecodedScriptData& a, const DecodedScriptData& b);

// Small maps (a few KB) for seeds and for the truncation and corruption tests.
mapgen::MapOptions TinyMap(std::uint64_t seed, bool daehHeader);
// The same with the names scripts use (mapgen/SampleNames.h): 17 tags, about 10 KB.
mapgen::MapOptions TinyNamedMap(std::uint64_t seed, bool daehHeader);
// The names of the map compile_xml and compile_hsc compile into, for their checks.
const NameResolver& HostNames();
// Two scripts, a call with arguments, texts, padding 3: 18 node slots.
extern const std::string_view kFixedScript;

}  // namespace xsc::robust

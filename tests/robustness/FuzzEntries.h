#pragma once
// One run of each fuzz target, shared by the fuzz targets in fuzz/ (which abort on a violation)
// and by the robustness test that replays every input the fuzzers ever found a fault with.
//
//   load_map     the input is a map file: load it, then read the scenario's script fields
//   compile_xml  the input is a script: compile it into a fixed generated map
//   compile_map  the input is a map file: compile a fixed small script into it in place
//
// Each returns the verdict of CompileOracle.h.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "CompileOracle.h"
#include "mapgen/MapGenerator.h"

namespace xsc::robust {

Verdict RunLoadMapInput(const std::uint8_t* data, std::size_t size);
Verdict RunCompileXmlInput(const std::uint8_t* data, std::size_t size);
Verdict RunCompileMapInput(const std::uint8_t* data, std::size_t size);

// The map compile_xml compiles into: room for 600 node slots, three tags, about 17 KB.
mapgen::MapOptions ScriptHostMap();
// Small maps (a few KB) for seeds and for the truncation and corruption tests.
mapgen::MapOptions TinyMap(std::uint64_t seed, bool daehHeader);
// The script compile_map compiles: two scripts, a call with arguments, texts, padding 3.
extern const std::string_view kFixedScript;

}  // namespace xsc::robust

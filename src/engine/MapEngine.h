#pragma once
// Which build of the game a map file is made for, from the engine field of its header:
//
//   "daeh" header (header code at 0x000 in any letter case; retail and custom maps)
//     0x004  4  engine value: 7 retail, 609 custom
//   the other header kind (demo maps)
//     0x2C0  4  "dehE": the code Ehed, stored reversed
//     0x588  4  engine value: 6 demo
//
// Any other value, or the other header kind without "dehE", is a build xsc does not know: its
// scripts get no engine checks. Only the first kMapEngineHeaderBytes bytes of the file are read.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "engine/EngineBuild.h"
#include "map/MapFormat.h"

namespace xsc {
class BinaryStream;
}

namespace xsc::engine {

inline constexpr std::int64_t kDaehEngineField = 0x004;
inline constexpr std::int64_t kDemoHeaderCodeField = mapformat::kAlternateHeaderCodeField;
inline constexpr std::string_view kDemoHeaderCode = mapformat::kAlternateHeaderCode;
inline constexpr std::int64_t kDemoEngineField = 0x588;
inline constexpr std::int64_t kMapEngineHeaderBytes = kDemoEngineField + 4;

inline constexpr std::uint32_t kRetailEngineValue = 7;
inline constexpr std::uint32_t kCustomEngineValue = 609;
inline constexpr std::uint32_t kDemoEngineValue = 6;

struct MapEngine {
    std::optional<EngineBuild> build;    // empty: a build xsc does not know
    std::int64_t field = 0;              // file offset of the engine field read
    std::optional<std::uint32_t> value;  // empty when the file ends before the field
    bool demoHeaderCode = false;         // the other header kind: "dehE" found at 0x2C0
};

// `header` holds the file's first bytes (fewer when the file is shorter than
// kMapEngineHeaderBytes).
MapEngine DetectMapEngine(std::string_view header);
// Reads the map's first bytes; throws Error (about the map) when it cannot be read.
MapEngine ReadMapEngine(const std::filesystem::path& map);
// The same, through the map's stream that the command opened.
MapEngine ReadMapEngine(BinaryStream& in);

// "custom (engine value 609 at 0x4)", "unknown (engine value 12 at 0x4)",
// "unknown (no \"dehE\" at 0x2c0)": for reports and the note of an unknown build.
std::string DescribeMapEngine(const MapEngine& engine);
// The engine fields and values xsc knows, for the message about an unknown one.
std::string KnownMapEngines();

}  // namespace xsc::engine

#pragma once
// The workspace's map, opened for one look-up and let go: read-only, under the shared lock (a
// compile in place of it waits for nothing and is refused nothing but that moment), never held
// between two messages, so that the user can compile into it while the editor is open.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "engine/EngineBuild.h"

namespace xsc {
class BinaryStream;
class HaloPcMap;
}

namespace xsc::lsp {

struct ProjectConfig;

// Opens and loads the map, runs `use` on it, and closes it. What opening found of an interrupted
// compile (undone, as every command that opens a map does) is given in `recovered`. Throws Error
// when the map cannot be opened or loaded, or is being compiled.
void WithMap(const std::filesystem::path& path, const std::function<void(const HaloPcMap&, BinaryStream&)>& use,
             std::string* recovered = nullptr);

// The build a workspace's scripts are compiled for: the configured engine, else the map's (read
// for this call; empty when the map's build is unknown), else the custom build. `problem` tells
// why a configured map could not be read (the custom build is taken then).
std::optional<engine::EngineBuild> BuildOfWorkspace(const ProjectConfig& config, std::string* problem = nullptr);

}  // namespace xsc::lsp

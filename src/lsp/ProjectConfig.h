#pragma once
// Which build and which map a workspace's scripts are checked against, and which files make its
// program. The client's initialization options give it; without them, the project file xsc.json
// at the workspace's root; without that, the custom build, no map, and each document a program of
// its own:
//
//   {"map": "maps/level.map", "engine": "custom", "sources": ["scripts/"]}
//
//   map      the map the scripts are compiled into: its build (unless engine is given) and every
//            check a compile into it makes; relative to the workspace's root
//   engine   "retail", "custom" or "demo"
//   sources  the files and folders (a folder's .hsc files) whose scripts make one program, in the
//            order `xsc check` takes them
//   debounce milliseconds between the last change and the check of the program (default 10)

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <QJsonObject>

#include "engine/EngineBuild.h"

namespace xsc::lsp {

inline constexpr int kDefaultDebounceMilliseconds = 10;
inline constexpr char kProjectFileName[] = "xsc.json";

struct ProjectConfig {
    std::optional<std::filesystem::path> map;
    std::optional<engine::EngineBuild> build;
    std::vector<std::filesystem::path> sources;
    int debounceMilliseconds = kDefaultDebounceMilliseconds;
    std::string origin;  // where it was read: "initialization options", the project file, "defaults"
};

// Reads a configuration object; paths are made absolute against `root`. Throws Error naming the
// key that is wrong.
ProjectConfig ReadProjectConfig(const QJsonObject& object, const std::filesystem::path& root, std::string origin);
// The project file at the root, when there is one; throws Error when it cannot be read.
std::optional<ProjectConfig> LoadProjectFile(const std::filesystem::path& root);

}  // namespace xsc::lsp

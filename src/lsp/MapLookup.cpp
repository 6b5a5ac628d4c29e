#include "lsp/MapLookup.h"

#include "engine/MapEngine.h"
#include "lsp/ProjectConfig.h"
#include "map/HaloPcMap.h"
#include "map/MapFile.h"
#include "runtime/Error.h"

namespace xsc::lsp {

void WithMap(const std::filesystem::path& path, const std::function<void(const HaloPcMap&, BinaryStream&)>& use,
             std::string* recovered) {
    MapFile file = MapFile::Open(path, MapFile::Access::Read);
    if (recovered != nullptr && file.Found().outcome != Recovery::Outcome::None) *recovered = file.Found().message;
    HaloPcMap map;
    map.LoadMap(file);
    use(map, file.Stream());
}

std::optional<engine::EngineBuild> BuildOfWorkspace(const ProjectConfig& config, std::string* problem) {
    if (config.build) return config.build;
    if (!config.map) return engine::kDefaultBuild;
    try {
        // The header alone says the build: the tag index is not read.
        MapFile file = MapFile::Open(*config.map, MapFile::Access::Read);
        return engine::ReadMapEngine(file.Stream()).build;
    } catch (const Error& e) {
        if (problem != nullptr) *problem = e.what();
        return engine::kDefaultBuild;
    }
}

}  // namespace xsc::lsp

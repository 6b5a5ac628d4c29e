#include "lsp/MapNamesCache.h"

#include "engine/NameTables.h"
#include "lsp/MapLookup.h"
#include "lsp/Protocol.h"
#include "lsp/Workspace.h"
#include "map/HaloPcMap.h"
#include "map/MapFile.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"

namespace xsc::lsp {

struct MapNamesCache::Loaded {
    std::filesystem::path path;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
    MapNames names;
    std::unique_ptr<NameResolver> resolver;  // refers to `names`
    std::map<std::int32_t, std::vector<NameChoice>> choices;  // by value type, made on first use
};

MapNamesCache::MapNamesCache() = default;
MapNamesCache::~MapNamesCache() = default;

const std::vector<NameChoice>& MapNamesCache::Choices(const std::filesystem::path& path, std::int32_t valueType) {
    MapFile file = MapFile::Open(path, MapFile::Access::Read);
    // Looked at under the shared lock: no compile in place runs while they are read.
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    const std::filesystem::file_time_type modified = std::filesystem::last_write_time(path, error);
    if (error) throw Error("cannot read the size or the time of " + Utf8(path) + ": " + error.message());
    if (!loaded_ || loaded_->path != path || loaded_->size != size || loaded_->modified != modified) {
        loaded_.reset();
        HaloPcMap map;
        map.LoadMap(file);
        auto fresh = std::make_unique<Loaded>();
        fresh->path = path;
        fresh->size = size;
        fresh->modified = modified;
        fresh->names = MapNames::Read(map, file.Stream());
        fresh->resolver = std::make_unique<NameResolver>(fresh->names);
        loaded_ = std::move(fresh);
    }
    auto found = loaded_->choices.find(valueType);
    if (found == loaded_->choices.end()) found = loaded_->choices.emplace(valueType, NameChoices(*loaded_->resolver, valueType)).first;
    return found->second;
}

std::vector<NameChoice> MapChoices(FeatureContext& context, std::int32_t valueType) {
    const std::optional<std::filesystem::path>& map = context.workspace.Config().map;
    if (!map || context.mapNames == nullptr) {
        // An enum's words are the build's: a map without names gives them.
        const engine::ValueEncoding* type = engine::NameTables::BuiltIn().Encoding(valueType);
        if (type == nullptr || type->storage != engine::Storage::EnumIndex) return {};
        const MapNames none;
        return NameChoices(NameResolver(none), valueType);
    }
    try {
        std::vector<NameChoice> choices = context.mapNames->Choices(*map, valueType);
        context.mapProblem = "";
        return choices;
    } catch (const Error& e) {
        context.mapProblem = e.what();
        return {};
    }
}

}  // namespace xsc::lsp

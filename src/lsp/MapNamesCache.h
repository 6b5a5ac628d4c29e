#pragma once
// The names of the workspace's map's things, for completion and hover. Reading them means loading
// the tag index and walking the scenario's blocks: too slow for every keystroke on a big map, so
// they are kept between requests, and the map is only opened again (read-only, under the shared
// lock, let go at once) to see whether it is still the file they were read from: its size and its
// time of last change, looked at while the lock keeps any compile out. A compile in place changes
// both; then the names are read again.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "names/NameChoices.h"

namespace xsc {
class MapNames;
class NameResolver;
}

namespace xsc::lsp {

struct FeatureContext;

class MapNamesCache {
public:
    MapNamesCache();
    ~MapNamesCache();
    MapNamesCache(const MapNamesCache&) = delete;
    MapNamesCache& operator=(const MapNamesCache&) = delete;

    // The names a value of `valueType` can take in the map at `path`, in the map's order. Throws
    // Error when the map cannot be opened or loaded, or is being compiled.
    const std::vector<NameChoice>& Choices(const std::filesystem::path& path, std::int32_t valueType);

private:
    struct Loaded;
    std::unique_ptr<Loaded> loaded_;
};

// What the workspace's map offers for a value of `valueType`: nothing without a map (but an enum
// type's words, which are the build's), nothing when the map cannot be read (why is left in
// context.mapProblem).
std::vector<NameChoice> MapChoices(FeatureContext& context, std::int32_t valueType);

}  // namespace xsc::lsp

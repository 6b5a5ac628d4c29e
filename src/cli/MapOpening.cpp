#include "MapOpening.h"

namespace xsc::cli {

HaloPcMap OpenMapForCommand(const std::filesystem::path& path) {
    HaloPcMap map;
    map.LoadMap(path);
    return map;
}

}  // namespace xsc::cli

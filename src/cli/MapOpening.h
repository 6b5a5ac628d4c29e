#pragma once

#include <filesystem>

#include "map/HaloPcMap.h"

namespace xsc::cli {

// Every command that reads a map opens it here, so that what must happen whenever a map is opened
// happens in one place. Throws Error (about the map) when it cannot be loaded.
HaloPcMap OpenMapForCommand(const std::filesystem::path& path);

}  // namespace xsc::cli

#pragma once

#include <iosfwd>
#include <string>

#include "engine/EngineBuild.h"

namespace xsc::cli {

// Lists the script functions of the build whose names contain `pattern` (letter case ignored;
// empty: all): name, number (EngineId), result type and parameters, as aligned columns or (json)
// one JSON object. Throws Error when no function of the build matches.
void RunFunctions(const std::string& pattern, engine::EngineBuild build, bool json, std::ostream& out);

}  // namespace xsc::cli

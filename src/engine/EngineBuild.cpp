#include "engine/EngineBuild.h"

namespace xsc::engine {

std::string_view BuildName(EngineBuild build) {
    switch (build) {
        case EngineBuild::Retail: return "retail";
        case EngineBuild::Custom: return "custom";
        case EngineBuild::Demo: return "demo";
    }
    return "unknown";
}

std::optional<EngineBuild> ParseBuildName(std::string_view name) {
    for (EngineBuild build : kEngineBuilds) {
        if (BuildName(build) == name) return build;
    }
    return std::nullopt;
}

}  // namespace xsc::engine

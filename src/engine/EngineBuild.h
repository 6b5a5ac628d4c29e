#pragma once
// The PC builds of the game whose script engines differ: the retail game, the free multiplayer
// edition ("custom", the build most maps are made for) and the trial ("demo"). Function numbers
// and the set of functions and globals depend on the build.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace xsc::engine {

enum class EngineBuild { Retail, Custom, Demo };

inline constexpr std::array<EngineBuild, 3> kEngineBuilds{EngineBuild::Retail, EngineBuild::Custom,
                                                          EngineBuild::Demo};
// The build a script is checked against when nothing names one.
inline constexpr EngineBuild kDefaultBuild = EngineBuild::Custom;

// Position of the build's column in the tables (retail, custom, demo).
inline constexpr std::size_t BuildIndex(EngineBuild build) { return static_cast<std::size_t>(build); }

// "retail", "custom", "demo": the names of the tables' columns and of --engine.
std::string_view BuildName(EngineBuild build);
std::optional<EngineBuild> ParseBuildName(std::string_view name);

}  // namespace xsc::engine

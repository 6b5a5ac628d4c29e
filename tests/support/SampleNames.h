#pragma once
// What a value of each type can name in a map generated with names (mapgen/SampleNames.h), as a
// script writes it: the names of its block that fit the type, "enc/squad" and "enc/platoon"
// forms, tag paths, enum words, and "none" where the type has it. Empty for the types whose
// values name nothing of the map.

#include <cstdint>
#include <string>
#include <vector>

namespace xsc::test {

std::vector<std::string> SampleNamesOf(std::int32_t valueType);

}  // namespace xsc::test

#pragma once
// The bytes of a synthetic map, produced front to back.

#include "mapgen/BlockWriter.h"
#include "mapgen/MapPlan.h"
#include "mapgen/TagStructures.h"

namespace xsc::mapgen {

// `fields`: where a structured map's address fields went, when given.
void WriteMapContent(BlockWriter& out, const MapPlan& plan, const MapOptions& options, StructureFields* fields = nullptr);

}  // namespace xsc::mapgen

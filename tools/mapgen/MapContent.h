#pragma once
// The bytes of a synthetic map, produced front to back.

#include "mapgen/BlockWriter.h"
#include "mapgen/MapPlan.h"

namespace xsc::mapgen {

void WriteMapContent(BlockWriter& out, const MapPlan& plan, const MapOptions& options);

}  // namespace xsc::mapgen

#pragma once
// The data of tags 1..n-1: pseudo-random words, and about every `addressEvery` words one word that
// the fix-up must judge: an address before the insertion point, exactly at it, behind it, or a
// small float whose bit pattern may look like an address.

#include "mapgen/BlockWriter.h"
#include "mapgen/MapGenerator.h"
#include "mapgen/TagStructures.h"

namespace xsc::mapgen {

void WriteTagData(BlockWriter& out, const MapLayout& layout, const MapOptions& options);
// The tags 1..n-1 of a structured map, each written whole by its class's layout.
void WriteStructuredTagData(BlockWriter& out, const MapLayout& layout, const MapOptions& options,
                            const StructureContext& context);

}  // namespace xsc::mapgen

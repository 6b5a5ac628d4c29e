#pragma once
// The data of tags 1..n-1: pseudo-random words, and about every `addressEvery` words one word that
// the fix-up must judge: an address before the insertion point, exactly at it, behind it, or a
// small float whose bit pattern may look like an address.

#include "mapgen/BlockWriter.h"
#include "mapgen/MapGenerator.h"

namespace xsc::mapgen {

void WriteTagData(BlockWriter& out, const MapLayout& layout, const MapOptions& options);

}  // namespace xsc::mapgen

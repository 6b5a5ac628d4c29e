#pragma once
// Builds the trees of a document whose scripts together need more node slots than xsc's own
// layout can number (the slot at 7,309 would get identity 0, which only a filler may have), to
// compare them with the trees another compiler laid out, which have no such hole: in pieces, each
// holding every global and every script element, but the statements of only some scripts (the
// others are left empty, so that every script keeps its index and every call its number). The
// pieces are cut by the slots the trees take (`bodySlots`, one per script, and `globalSlots`):
// each expression one, each call two (its name node).
// Only the trees mean something: their slots and text offsets are those of each piece.

#include <cstddef>
#include <vector>

#include "common/DecodedScripts.h"

namespace xsc {

class XmlDocument;

// Throws what BuildPhase throws (a piece of one script that is too big on its own, say).
DecodedScriptData BuildInPieces(const XmlDocument& document, const std::vector<std::size_t>& bodySlots, std::size_t globalSlots);

}  // namespace xsc

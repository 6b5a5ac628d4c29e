#pragma once
// The build phase of a compile: turns the document into node slots, strings and script records
// in memory. Nothing is written to the map here.

#include <cstdint>
#include <vector>

#include "runtime/MemoryBlock.h"

namespace xsc {

class XmlDocument;
struct ScriptCompilier;

struct BuiltScripts {
    std::vector<MemoryBlock> records;  // one 92-byte script record per script, in document order
    std::int32_t slots = 0;            // node slots appended
    std::int32_t stringBytes = 0;      // L: length of the new strings
    std::int32_t padding = 0;          // 0xFF bytes behind the 1024 zero bytes: 0 to 3
    // The new region that takes the place of the old string data: L + 1024 + padding + 92 n.
    std::int64_t RegionLength() const;
};

// Expects the state filled by LoadScriptData. Throws Error::AtScript for a document the language
// refuses (no root element, text where scripts stand, a script name of 32 bytes or more,
// anything XmlBuild refuses, a real node on an identity of 0).
BuiltScripts BuildPhase(ScriptCompilier& state, const XmlDocument& document);

}  // namespace xsc

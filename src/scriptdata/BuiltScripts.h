#pragma once
// The new script data of a compile, as the build phase leaves it in memory beside the node slots
// and strings of ScriptCompilier: the script records and the sizes the write phase lays out.

#include <cstdint>
#include <vector>

#include "runtime/MemoryBlock.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {

struct BuiltScripts {
    std::vector<MemoryBlock> records;  // one 92-byte script record per script, in document order
    std::int32_t slots = 0;            // node slots appended
    std::int32_t stringBytes = 0;      // L: length of the new strings
    std::int32_t padding = 0;          // 0xFF bytes behind the 1024 zero bytes: 0 to 3
    // The new region that takes the place of the old string data: L + 1024 + padding + 92 n.
    std::int64_t RegionLength() const {
        return std::int64_t{stringBytes} + scriptformat::kStringDataZeroBytes + padding +
               scriptformat::kRecordSize * static_cast<std::int64_t>(records.size());
    }
};

}  // namespace xsc

#pragma once
// The new script data of a compile, as the build phase leaves it in memory beside the node slots
// and strings of ScriptCompilier: the script and global records and the sizes the write phase
// lays out.

#include <cstdint>
#include <vector>

#include "runtime/MemoryBlock.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {

struct BuiltScripts {
    std::vector<MemoryBlock> records;  // one 92-byte script record per script, in document order
    std::vector<MemoryBlock> globals;  // one 92-byte global record per scenario global, in order
    std::int32_t slots = 0;            // node slots appended
    std::int32_t stringBytes = 0;      // L: length of the new strings
    std::int32_t padding = 0;          // 0xFF bytes behind the 1024 zero bytes: 0 to 3
    // The new region that takes the place of the old string data: L + 1024 + padding + 92 n
    // + 92 g (the global records follow the script records).
    std::int64_t RegionLength() const { return GlobalsOffset() + scriptformat::kGlobalRecordSize * static_cast<std::int64_t>(globals.size()); }
    // Where the script records and the global records start in the new region.
    std::int64_t RecordsOffset() const { return std::int64_t{stringBytes} + scriptformat::kStringDataZeroBytes + padding; }
    std::int64_t GlobalsOffset() const {
        return RecordsOffset() + scriptformat::kRecordSize * static_cast<std::int64_t>(records.size());
    }
};

}  // namespace xsc

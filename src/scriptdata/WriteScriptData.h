#pragma once
// The write phase of a compile, into one file in place.
//
// The new region (strings, 1024 zero bytes, 0xFF padding, script records) and the old tail are
// assembled in memory behind one another and the fix-up's word scan runs on that buffer: it
// covers exactly the words the file-level scan would visit, because the scan starts at tag
// entry 1's data, at or behind the insertion point. Then the file is grown (reserving its
// blocks, so a full disk or a file-size limit fails before any byte changes), the buffer is
// written with one write, the small fields are written in place and the file is flushed.

#include <filesystem>
#include <vector>

#include "map/AddressFixup.h"

namespace xsc {

class HaloPcMap;
struct ScriptCompilier;
struct BuiltScripts;

struct WriteResult {
    std::int32_t growth = 0;
    std::size_t indexAddressesCorrected = 0;
    std::size_t wordsCorrected = 0;
    std::vector<CorrectedWord> fixups;  // when recording: index addresses first, then scan words
};

// Checks the arrangement against `file` (which holds the loaded map's bytes) and writes the
// compiled scripts into it.
WriteResult WriteScriptData(const std::filesystem::path& file, const HaloPcMap& map, const ScriptCompilier& state,
                            const BuiltScripts& built, bool recordFixups);

}  // namespace xsc

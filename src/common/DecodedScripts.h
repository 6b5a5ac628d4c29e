#pragma once
// A map's compiled scripts read back for a decompile, into either language: each script's
// record, its name and its expression nodes in the order a compile appends them (ScriptTreeWalk.h),
// each with the text it stored (TextRun.h). What no compile could have written so is refused
// here, with an Error naming the script and slot: pointers, kinds and name nodes (the walk),
// texts out of order, a record whose name or unused bytes a compile would not write so, a name
// that is not UTF-8 or holds a character XML cannot carry. The values are judged by each language.

#include <optional>
#include <string>
#include <vector>

#include "common/ScriptTreeWalk.h"
#include "scriptdata/ReadScriptData.h"

namespace xsc {

struct DecodedScript {
    WalkedScript walked;
    std::string name;                               // the record's name
    std::vector<std::optional<std::string>> texts;  // the text of each body node; none where it stored none
};

// The scripts in record order; none for a map never compiled into (data.fresh).
std::vector<DecodedScript> DecodeScripts(const CompiledScriptData& data);

}  // namespace xsc

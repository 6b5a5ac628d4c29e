#pragma once
// A map's compiled scripts (and the scenario's globals) read back for a decompile, into either
// language: each script's record, its name and its expression nodes in the order a compile appends them (ScriptTreeWalk.h),
// each with the text it stored (TextRun.h). What no compile could have written so is refused
// here, with an Error naming the script and slot: pointers, kinds and name nodes (the walk),
// texts out of order, a record whose name or unused bytes a compile would not write so, a name
// that is not UTF-8 or holds a character XML cannot carry. The values are judged by each language.

#include <optional>
#include <string>
#include <vector>

#include "common/ScriptLayout.h"
#include "common/ScriptTreeWalk.h"
#include "xml/ScriptIndex.h"
#include "scriptdata/ReadScriptData.h"

namespace xsc {

struct DecodedScript {
    WalkedScript walked;
    std::string name;                               // the record's name
    std::vector<std::optional<std::string>> texts;  // the text of each body node; none where it stored none
};

// A scenario global: its record, its name and the nodes of its initial value, with their texts.
struct DecodedGlobal {
    WalkedGlobal walked;
    std::string name;
    std::vector<std::optional<std::string>> texts;
};

struct DecodedScriptData {
    std::vector<DecodedScript> scripts;  // in record order
    std::vector<DecodedGlobal> globals;  // in record order
    ScriptLayout layout = ScriptLayout::Xsc;
};

// The scripts, then the globals; nothing for a map never compiled into (data.fresh). In xsc's own
// layout (ScriptLayout.h) the initial values' nodes and texts follow the scripts' as a compile
// appends them and everything is checked as above; in any other layout they are read by their
// pointers (AnyLayoutDecode.h). Without script records, the strict reading is tried first.
DecodedScriptData DecodeScriptData(const CompiledScriptData& data);
// The names of decoded scripts or globals by record index, as the nodes that name them need.
template <typename Decoded>
ScriptIndex RecordIndex(const std::vector<Decoded>& decoded) {
    std::vector<std::string> names;
    for (const Decoded& d : decoded) names.push_back(d.name);
    return ScriptIndex(names);
}

// What a global node (kind 13) reads, from its value and its text:
//   Scenario   the scenario global its text names, by its index in the globals block
//   Engine     an engine global, by its name alone (FF FF FF FF; the text names no scenario global)
//   ByNameOnly FF FF FF FF beside the name of a scenario global, which a compile stores as its index
//   Stored     any other value: a number stored in the node (an XML "GlobalValue")
enum class GlobalRead { Scenario, Engine, ByNameOnly, Stored };
GlobalRead ReadOfGlobalNode(const StoredNode& node, const std::optional<std::string>& text, const ScriptIndex& globals);

// The scripts alone (the globals are decoded and checked all the same).
std::vector<DecodedScript> DecodeScripts(const CompiledScriptData& data);

}  // namespace xsc

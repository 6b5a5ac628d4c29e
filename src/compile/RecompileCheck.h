#pragma once
// A compile into a map that already holds compiled scripts replaces them all, with the node data
// they live in. That is only safe when this program wrote them, so that nothing else lives there.
// The string data's own shape (OldScriptRegion.h) is not enough: the game's official compiler
// lays out its strings as we do, apart from the padding, shared strings and the text offsets of
// nodes without text, so a map whose texts happen to end on a multiple of 4 passes that test.
// So a recompile also asks that:
//   - the node data reads exactly as this program writes it (the decompile's strict reading:
//     every script's tree, every text in the order a compile appends them), and
//   - the scenario has no globals: their initial values are node trees in the same node data,
//     and a recompile would overwrite them.

namespace xsc {

class HaloPcMap;
struct BuiltScripts;
struct ScriptCompilier;

// Nothing for a fresh map (string data of 1024 bytes). Otherwise checks the map's arrangement
// (ScriptArrangement.h, which recognises the string region), then the two conditions above, and
// throws Error (about the map) saying why when one fails.
void CheckScriptsAreOurs(const HaloPcMap& map, const ScriptCompilier& state, const BuiltScripts& built);

}  // namespace xsc

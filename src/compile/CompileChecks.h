#pragma once
// Every check a compile makes before its first write, in one place, so that the compile and
// `xsc check --map` refuse the same maps with the same words:
//
//   - the map's arrangement (scriptdata/ScriptArrangement.h): the file is still the map that was
//     loaded and not cut short, the regions written in place lie before the string data, the old
//     script region is a fresh map's or recognised as ours, the scripts fit, the header's sizes
//     stay within what the game holds;
//   - for a recompile, whether the scripts being replaced are ours. The string data's own shape
//     is not enough: the game's official compiler lays out strings as we do, apart from the
//     padding, shared strings and the text offsets of nodes without text, so a map whose texts
//     happen to end on a multiple of 4 passes that test. So the scripts count as ours only when
//     the node data reads exactly as this program writes it (the decompile's strict reading:
//     every script's tree, every text where a compile appends it, every global's initial value)
//     and the scenario has no globals but those an earlier compile wrote behind its script
//     records. Otherwise the map is read as the official tools' (the string data alone is
//     replaced, the old records are left unreferenced);
//   - for a map the official tools compiled, that no scenario field but the scripts and globals
//     fields names bytes of the old records, which the compile leaves unreferenced.

#include "scriptdata/ScriptArrangement.h"

namespace xsc {

class BinaryStream;
class HaloPcMap;
class MapNames;
struct BuiltScripts;
struct ScriptCompilier;

// `file` is the loaded map, open; reads, never writes. `names`: the map's named things, which the
// scripts' values that name them were compiled by (read from `file` when none are given). Throws
// Error (about the map) naming what is wrong.
ScriptArrangement CheckBeforeWrite(BinaryStream& file, const HaloPcMap& map, const ScriptCompilier& state,
                                   const BuiltScripts& built, const MapNames* names = nullptr);

}  // namespace xsc

#pragma once
// Which compiler laid out a map's script data, told by the slots around the first script's root.
//
//   Xsc    xsc's own layout: every script's root `begin` call is followed by its name node and a
//          trailing filler (identity 0, kind 1, value type 2, function 0, string offset -1), four
//          fillers lie in front of every body, texts are appended node after node. No other
//          compiler writes that filler (its string offset of -1 names no text), so a map whose first
//          script has one is read strictly (DecodedScripts.h): every slot and text offset must be
//          where a compile puts it, which guards the byte-exact round trip.
//   Other  anything else, above all the game's official tools: free slots, shared strings, texts
//          of calls and numbers in a zero tail, the root `begin` after its body or no `begin` at
//          all. Read by following the pointers alone (AnyLayoutDecode.h).
//
// A map without script records (only globals) has no such filler: it is xsc's when its texts
// are laid out exactly as xsc appends them (the strict decode accepts it), else other.

#include "scriptdata/ReadScriptData.h"

namespace xsc {

enum class ScriptLayout { Xsc, Other };

// For data that is not fresh; Other when there are no script records (DecodeScriptData then tries
// the strict reading first). Reads only; never throws.
ScriptLayout LayoutOf(const CompiledScriptData& data);

}  // namespace xsc

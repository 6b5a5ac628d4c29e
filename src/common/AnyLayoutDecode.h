#pragma once
// Reads scripts and globals laid out by any compiler, the game's official tools above all, by
// following pointers from each script record's root and each global record's initial value:
//
//   - a script's root is a call of `begin` (function 0, its name node's text "begin"), whose name
//     node's sibling chain is the body; any other root is the body's one statement (compilers drop
//     a `begin` around a single statement). A global's root is its expression.
//   - a call node (kind 8, or 10 for a script call) names its function-name node (kind 9, value
//     type 2, the same function or script number); that node's text is the call's, its sibling
//     chain the arguments. Values (9) and global reads (13) keep their own texts.
//   - texts are read where each node's string offset points, up to the zero byte; an empty text
//     is no text (calls and numbers point into the string data's zero tail); texts may be shared.
//   - free slots (salt 0) and the slot order do not matter, only what the pointers reach.
//
// Every pointer is checked (a slot in use, its salt the pointer's high half, not a free slot, not
// reached before: cycles and shared nodes are refused, so the walk ends after one step per slot)
// and every string offset (inside the string data, a zero byte behind it); an Error names the
// script or global and the slot.
//
// The nodes are handed on as the decoders of both languages know them from xsc's own layout, so
// that the same writers serve: a global read's function-number field (the official compiler puts
// the value type there) reads -1; a call's string offset is its name node's; a string value's
// field (which the game never reads) reads 0; a boolean and a short keep only their meaningful
// bits (8 and 16), with the high bits set as xsc writes them. Names in the records are read up
// to their zero byte (and refused when XML cannot carry them, as in xsc's own layout); the unused
// bytes of the records are not judged.

#include "common/DecodedScripts.h"

namespace xsc {

DecodedScriptData DecodeAnyLayout(const CompiledScriptData& data);

}  // namespace xsc

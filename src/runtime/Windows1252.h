#pragma once
// Text of the Windows-1252 code page, in which the game's own campaign scripts were written (bytes
// such as 0x92, a right single quotation mark, and 0x85, an ellipsis). The game reads a script's
// texts as single bytes, so a source that is not UTF-8 is read in this code page and its texts
// are stored byte for byte.

#include <optional>
#include <string>
#include <string_view>

namespace xsc {

// Whether the bytes are UTF-8 throughout.
bool IsUtf8(std::string_view bytes);

// Why the bytes are no text of the code page that a script can hold: a byte the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) or a control character other than tab, line feed and
// carriage return. Nothing when they are.
std::optional<std::string> Windows1252TextProblem(std::string_view bytes);

// Why the bytes are no text a script holds: read as UTF-8 where they are UTF-8 throughout, else in
// this code page (a source of either kind compiles its names and texts byte for byte). Nothing when
// they are.
std::optional<std::string> ScriptTextProblem(std::string_view bytes);

}  // namespace xsc

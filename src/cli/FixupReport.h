#pragma once
// What a compile tells about its address fix-up: the tags the walk of the tag layouts left to the
// word scan (on the summary, and in full with --fixups), every word it changed, and the words in
// range it left alone.

#include <iosfwd>

#include "compile/BuildScriptData.h"

namespace xsc {
class HaloPcMap;
}

namespace xsc::cli {

// "word scan for 2 tags whose layout was not walked: ui\x\y bitm (no layout is known ...), ..."
// after the summary line; nothing when every tag was walked. At most a few tags are named.
void PrintFallbackSummary(const HaloPcMap& map, const CompileSummary& summary, std::ostream& out);

// The --fixups listing: every fallen-back tag and why, every corrected word with where it lies
// (the field path under the walk), then the words in range that were left alone.
void PrintFixups(const HaloPcMap& map, const CompileSummary& summary, FixupMode mode, std::ostream& out);

// "weapons\pistol\pistol weap", as a tag editor names it: path, then class.
std::string TagName(const HaloPcMap& map, std::int32_t tag);

}  // namespace xsc::cli

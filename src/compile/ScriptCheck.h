#pragma once
// `xsc check` without the command line: everything known about a script, in either language,
// without writing a byte.
//
//   errors    what a compile would refuse: for XML, malformed XML, elements the language does not
//             know, names of 32 bytes, ... (the compile's own build phase, run in memory); for
//             the source language, every fault of its check (hsc/TypeCheck.h) and then the same
//             build phase; with a map, more node slots than its node data holds
//   warnings  for XML, ScriptWarnings (per build, when one is known); for the source language,
//             those of its check; for both, more node slots than the game's engine holds
//   with a map (CheckMap), every check the compile makes of the map before it writes
//   names     the values that name the map's things, looked up in `names` (compile/NameCheck.h):
//             a name the map lacks is an error, as in the compile; without names, one note
//   notes     names that are no engine global (XML)
//
// Diagnostics come sorted by line and column; those about the script as a whole come last.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "compile/ScriptLanguageChoice.h"
#include "common/Diagnostic.h"
#include "engine/EngineBuild.h"
#include "hsc/SourceCompile.h"
#include "runtime/XmlDocument.h"

namespace xsc {

class BinaryStream;
class HaloPcMap;
class NameResolver;

struct CheckOptions {
    // Empty: no engine checks for XML; a script in the source language cannot be compiled at all.
    std::optional<engine::EngineBuild> build = engine::kDefaultBuild;
    std::optional<std::int64_t> slotCapacity;  // the map's node data, when a map is given
    const NameResolver* names = nullptr;       // the map's named things, when a map is given
    std::string noNamesWhy = {};               // why `names` is null, when a map is given (empty: none is)
};

struct CheckedScript {
    // What a compile builds from the script (the XML document, or the source lowered to one),
    // when no diagnostic is an error.
    std::optional<XmlDocument> document;
    std::vector<Diagnostic> diagnostics;
    // A source read in the Windows-1252 code page: its texts are single bytes, which the XML
    // language (UTF-8) cannot carry.
    bool windows1252 = false;
};

// The one entry point from a script's text to what a compile needs, in the language the text's
// first character gives (ScriptLanguageChoice.h): UTF-8 for the source language; for XML, the
// encoding its declaration or byte order mark names.
CheckedScript CheckScriptText(std::string_view bytes, const CheckOptions& options);
// The same in a language already known (a file's extension gives it).
CheckedScript CheckScriptText(std::string_view bytes, ScriptLanguage language, const CheckOptions& options);
// A program of several source files (a file's diagnostics name it: hsc/SourceCompile.h),
// sorted by file in the given order, then by line and column.
CheckedScript CheckSources(const std::vector<hsc::SourceFile>& files, const CheckOptions& options);
// An XML document already parsed.
std::vector<Diagnostic> CheckScript(const XmlDocument& document, const CheckOptions& options);

// What a compile of the document into `map` would find wrong with the map before its first write,
// found the way the compile finds it (LoadScriptData, BuildPhase and CheckBeforeWrite on the
// scripts the document builds, through `file`, the map as the command opened it): at most one
// error, the compile's refusal; else a warning when the header gives the map a shorter length than
// the file has. Nothing when the document does not build (CheckScript reports why). Diagnostics
// about the map as a whole: line 0.
std::vector<Diagnostic> CheckMap(const XmlDocument& document, const HaloPcMap& map, BinaryStream& file);

}  // namespace xsc

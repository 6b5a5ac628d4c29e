#pragma once
// The build phase of a compile: turns the document into node slots, strings and script records
// in memory. Nothing is written to the map here.

#include "scriptdata/BuiltScripts.h"
#include "scriptdata/ReadScriptData.h"

namespace xsc {

class NameResolver;
class XmlDocument;
struct ScriptCompilier;

// Expects the state filled by LoadScriptData. Throws Error::AtScript for a document the language
// refuses (no root element, text where scripts stand, a script name of 32 bytes or more,
// anything XmlBuild refuses, a real node on an identity of 0). `names`: the map's named things,
// which the values that name them are looked up in (none: they keep the text alone with 0).
BuiltScripts BuildPhase(ScriptCompilier& state, const XmlDocument& document, const NameResolver* names = nullptr);

// What a build left in memory, as a map holds it after a compile (slots from 0, the strings with
// their 1024 zero bytes, the records): for reading it back as the decompile reads a map.
CompiledScriptData BuiltScriptData(const ScriptCompilier& state, const BuiltScripts& built);

}  // namespace xsc

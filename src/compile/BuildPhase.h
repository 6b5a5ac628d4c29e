#pragma once
// The build phase of a compile: turns the document into node slots, strings and script records
// in memory. Nothing is written to the map here.

#include "scriptdata/BuiltScripts.h"

namespace xsc {

class XmlDocument;
struct ScriptCompilier;

// Expects the state filled by LoadScriptData. Throws Error::AtScript for a document the language
// refuses (no root element, text where scripts stand, a script name of 32 bytes or more,
// anything XmlBuild refuses, a real node on an identity of 0).
BuiltScripts BuildPhase(ScriptCompilier& state, const XmlDocument& document);

}  // namespace xsc

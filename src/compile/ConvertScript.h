#pragma once
// Conversion between the two script languages, for one build of the game (function numbers
// differ between builds). Both directions are exact: the result compiles to the same bytes as
// what it was converted from.
//
//   source -> XML   the checked program lowered to the XML language's elements (hsc/Lowering.h),
//                   written out with a comment naming the build
//   XML -> source   the document built in memory, then decompiled into the source language
//                   (DecompileSource.h); a node the source language cannot write is refused at
//                   the line and column of its element

#include <string>

#include "engine/EngineBuild.h"
#include "runtime/XmlDocument.h"

namespace xsc {

// `document`: a checked source program, lowered (ScriptCheck.h gives it).
std::string ConvertToXml(const XmlDocument& document, engine::EngineBuild build);
// Throws Error::AtScript for what the compile refuses and for what the source language cannot write.
std::string ConvertToSource(const XmlDocument& document, engine::EngineBuild build);

}  // namespace xsc

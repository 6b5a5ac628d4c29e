#pragma once
// The reference of a compile's result: the write phase and the address fix-up applied literally,
// one write at a time, to the old bytes of a map. It reads the header, index and script fields
// itself and lays out the slots and script records from the document; only the bytes of the node
// slots and of the new strings come from the build. Of those, the values that name one of the
// scenario's elements (trigger volumes, cutscene blocks, device groups, command lists, objects,
// ...) are held to the blocks as it reads them itself: the index of the first element of that name.

#include <string>

#include "MemoryFile.h"

namespace xsc {
class XmlDocument;
struct ScriptCompilier;
}  // namespace xsc

namespace xsc::robust {

// The grown file, in `out`; returns an empty string, or why the compile should have been refused.
// `official`: a string data of our shape is read as the game's tools' (only the tool can tell the
// two apart, by reading the node data).
std::string ReferenceCompile(const Bytes& old, const XmlDocument& document, const ScriptCompilier& state, Bytes& out,
                             bool official = false);

}  // namespace xsc::robust

#pragma once
// The reference of a compile's result: the write phase and the address fix-up applied literally,
// one seek and one write at a time, to the old bytes of a map.
//
// What the reference works out itself: the header path and index offset, Magic, the scenario's
// and tag 1's data offsets, the script fields, the slot layout of every script (four fillers,
// body, begin call, begin name, trailing filler) and the script records from the document. What
// it takes from the build: the bytes of the node slots and of the new strings.

#include <cstdint>
#include <string>
#include <vector>

#include "MemoryFile.h"

namespace xsc {
class XmlDocument;
struct ScriptCompilier;
}  // namespace xsc

namespace xsc::robust {

// What the document asks for, counted without the compiler's code.
struct ScriptShape {
    std::string name;
    std::int32_t type = 0;
    std::int32_t returnType = 0;
    std::int64_t bodyNodes = 0;  // two per call, one per value or global
};

struct DocumentShape {
    std::vector<ScriptShape> scripts;
    // Why a compile must refuse the document (no root, text where scripts or expressions stand,
    // an unknown element, a child of a value element); empty when it is acceptable.
    std::string refusal;
    std::int64_t slots = 0;    // node slots the build appends
    std::int64_t realNodes = 0;
};

DocumentShape ShapeOf(const XmlDocument& document);

// The grown file, in `out`; returns an empty string, or why the compile should have been
// refused (the reference then found the map or the script outside what a compile may accept).
std::string ReferenceCompile(const Bytes& old, const DocumentShape& shape, const ScriptCompilier& state, Bytes& out);

}  // namespace xsc::robust

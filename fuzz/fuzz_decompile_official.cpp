// The input is node data: it replaces the node slots, from slot 0, of a small map whose script
// data is laid out as the game's official tools lay it out (free slots, shared strings, texts in a
// zero tail, the root begin after its body, globals with initial values, script calls). The map is
// then decompiled, and must end in an xsc::Error naming what is wrong, or in documents of both
// languages whose builds give back the map's trees up to layout.

#include <cstddef>
#include <cstdint>

#include "FuzzEntries.h"
#include "FuzzVerdict.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    xsc::fuzz::Enforce(xsc::robust::RunOfficialNodesInput(data, size));
    return 0;
}

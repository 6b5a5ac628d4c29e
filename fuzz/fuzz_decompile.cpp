// The input is a map file: it is loaded and its compiled scripts are decompiled. Every input must
// end in an xsc::Error, or a document the compiler reads whose build gives back the map's texts
// and the names and types of its script records.

#include <cstddef>
#include <cstdint>

#include "FuzzEntries.h"
#include "FuzzVerdict.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    xsc::fuzz::Enforce(xsc::robust::RunDecompileInput(data, size));
    return 0;
}

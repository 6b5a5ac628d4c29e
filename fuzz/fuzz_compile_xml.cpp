// The input is a script, compiled in place into a fixed generated map.

#include <cstddef>
#include <cstdint>

#include "FuzzEntries.h"
#include "FuzzVerdict.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    xsc::fuzz::Enforce(xsc::robust::RunCompileXmlInput(data, size));
    return 0;
}

// The input is a map file: it is loaded, then the scenario's script fields are read.

#include <cstddef>
#include <cstdint>

#include "FuzzEntries.h"
#include "FuzzVerdict.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    xsc::fuzz::Enforce(xsc::robust::RunLoadMapInput(data, size));
    return 0;
}

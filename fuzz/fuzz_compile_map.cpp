// The input is a map file; a fixed small script is compiled into it in place.

#include <cstddef>
#include <cstdint>

#include "FuzzEntries.h"
#include "FuzzVerdict.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    xsc::fuzz::Enforce(xsc::robust::RunCompileMapInput(data, size));
    return 0;
}

// The input is a program in the source language (its files separated by zero bytes), checked and
// compiled for the custom build into a fixed generated map: an error from the check, or a compile the reference accepts whose XML
// conversion and whose decompiled source both build the same nodes, texts and records.

#include <cstddef>
#include <cstdint>

#include "FuzzEntries.h"
#include "FuzzVerdict.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    xsc::fuzz::Enforce(xsc::robust::RunCompileHscInput(data, size));
    return 0;
}

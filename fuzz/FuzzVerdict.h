#pragma once
// How a fuzz target treats a verdict: xsc::Error and a correct result are expected outcomes; a
// violation of the promise is a finding, so the target prints it and aborts for libFuzzer to
// keep the input.

#include <cstdio>
#include <cstdlib>

#include "CompileOracle.h"

namespace xsc::fuzz {

inline void Enforce(const robust::Verdict& verdict) {
    if (!verdict.Violated()) return;
    std::fprintf(stderr, "xsc fuzz finding: %s\n", verdict.message.c_str());
    std::abort();
}

}  // namespace xsc::fuzz

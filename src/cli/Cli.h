#pragma once
// The `xsc` command line: `xsc info MAP [--json]`, `xsc compile MAP SCRIPT [-o OUT] [--fixups]` and
// `xsc decompile MAP [-o SCRIPT]`.

#include <iosfwd>

namespace xsc::cli {

// Runs the command line as a process would, writing to the given streams; returns the exit code:
// 0 success, 1 an error (printed as "xsc: error: <message>"), 2 a usage error.
int RunXsc(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace xsc::cli

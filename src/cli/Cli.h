#pragma once
// The `xsc` command line:
//   xsc info MAP [--json]
//   xsc compile MAP SCRIPT [-o OUT] [--engine retail|custom|demo] [--fixups] [--no-warnings] [--no-journal]
//   xsc check SCRIPT [--engine retail|custom|demo | --map MAP] [--werror]
//   xsc functions [PATTERN] [--engine retail|custom|demo] [--json]
//   xsc decompile MAP [-o SCRIPT] [--hsc] [--engine retail|custom|demo]
//   xsc convert SCRIPT [-o OUT] [--engine retail|custom|demo]
//   xsc recover MAP

#include <iosfwd>

namespace xsc::cli {

// Runs the command line as a process would, writing to the given streams; returns the exit code:
// 0 success, 1 an error (printed as "xsc: error: <message>") or a check that failed, 2 a usage
// error.
int RunXsc(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace xsc::cli

#pragma once
// A source program at the engine's node limit, as levels are written: scripts of about 40
// statements (sleeps, AI placements, camera moves, waits on trigger volumes, nested ifs, global
// sets) until the node slots reach 19,001; about 5,400 lines in the usual layout.

#include <string>

namespace xsc::bench {

std::string ProgramAtTheNodeLimit();

}  // namespace xsc::bench

#pragma once
// A source program at the engine's node limit, as levels are written: scripts of about 40
// statements (sleeps, AI placements, camera moves, waits on trigger volumes, nested ifs, global
// sets) until the node slots reach 19,001; about 5,400 lines in the usual layout.

#include <string>

namespace xsc::bench {

// `reserved`: slots left free below the limit (for globals a caller adds).
std::string ProgramAtTheNodeLimit(int reserved = 0);

// A program of about `lines` lines as a campaign level's script is (the largest, 8,000): 120
// globals, then the scripts of ProgramAtTheNodeLimit with comment lines between their statements,
// 19,001 node slots in all.
std::string CampaignSizedProgram(int lines);

}  // namespace xsc::bench

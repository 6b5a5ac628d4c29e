#pragma once
// How the arguments of a call meet a function's parameter list: required parameters first take
// one argument each, then optional ones in order while arguments are left, and a repeated item
// takes the rest, a whole group at a time.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace xsc::engine {

struct EngineFunction;

// The parameter type of each of `count` arguments; empty when the function does not take that
// many.
std::optional<std::vector<std::int32_t>> MatchArguments(const EngineFunction& function, std::size_t count);

// The argument counts the function takes, for messages: "no arguments", "1 argument",
// "1 or 2 arguments", "0 to 4 arguments", "at least 1 argument", "2, 4, 6, ... arguments".
std::string AcceptedArgumentCounts(const EngineFunction& function);

}  // namespace xsc::engine

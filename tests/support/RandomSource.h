#pragma once
// Random well-typed programs of the source language for the custom build, for property tests:
// up to 3 scenario globals (read, set, and read by later globals' initial values), up to 4 scripts (static ones of several return types, called by the others), calls of engine
// functions chosen by their result type with arguments of their parameters' types, engine globals,
// literals of every kind (numbers at their ranges' ends and with fractions, booleans in every
// spelling, strings holding what the lexer must keep, names that test::NamedMap holds, script names), if, begin,
// cond, set and comparisons, with comments between the forms.

#include <random>
#include <string>

namespace xsc::test {

std::string MakeRandomSource(std::mt19937& rng);

}  // namespace xsc::test

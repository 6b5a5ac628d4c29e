#pragma once
// Random documents of the XML script language for property tests: up to 4 scripts of calls
// nested up to 5 deep, literals and globals of every encoding, calls of the document's scripts,
// comments between them. Texts hold
// what XML must escape and what is not ASCII (tab, line feed, carriage return, quotes, &, <, >,
// two- to four-byte UTF-8); numbers go beyond 16 and 32 bits, negative, with fractions and
// exponents; value types include codes beyond 16 bits. Values that name the map's things name
// what the generator's maps with names hold (test::NamedMap).

#include <random>
#include <string>

namespace xsc::test {

struct RandomScript {
    std::string xml;
    int scripts = 0;
    int bodyNodes = 0;  // nodes of the statements, without fillers and begin nodes
};

RandomScript MakeRandomScript(std::mt19937& rng);

}  // namespace xsc::test

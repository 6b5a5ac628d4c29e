// A small generated map cut to every length from 0 to its full size, then loaded and compiled:
// every cut ends with xsc::Error and an unchanged file, or with exactly the reference result. What
// the refusals say is checked in tests/map/HaloPcMap_test.cpp.

#include <gtest/gtest.h>

#include "CompileOracle.h"
#include "FuzzEntries.h"
#include "runtime/XmlDocument.h"

namespace xsc::robust {
namespace {

Bytes Cut(const Bytes& full, std::int64_t length) { return Bytes(full.begin(), full.begin() + length); }

class TruncatedMaps : public ::testing::TestWithParam<bool> {};

TEST_P(TruncatedMaps, EveryLengthIsRefusedCleanlyOrGivesTheReferenceResult) {
    mapgen::MapLayout layout;
    const Bytes full = mapgen::GenerateMap(TinyMap(3, GetParam()), &layout);
    const XmlDocument script = XmlDocument::LoadXml(kFixedScript);
    MemoryFile file;
    // Reading the script fields needs everything up to the slot count field in the node data;
    // the compile needs everything up to the end of the string data (the scan behind it stops
    // at the end of the file).
    const std::int64_t fieldsEnd = layout.nodeDataOffset + 0x30;
    ASSERT_LT(layout.stringDataEnd, static_cast<std::int64_t>(full.size()));
    for (std::int64_t length = 0; length <= static_cast<std::int64_t>(full.size()); ++length) {
        const Verdict load = CheckLoad(file, Cut(full, length), BaselineMap());
        const Verdict compile = CheckCompile(file, Cut(full, length), script);
        ASSERT_FALSE(load.Violated() || compile.Violated()) << "length " << length << ": " << load.message << compile.message;
        EXPECT_EQ(load.kind == Verdict::Kind::Accepted, length >= fieldsEnd) << length << ": " << load.message;
        EXPECT_EQ(compile.kind == Verdict::Kind::Accepted, length >= layout.stringDataEnd) << length << ": " << compile.message;
    }
}

INSTANTIATE_TEST_SUITE_P(HeaderKinds, TruncatedMaps, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "DaehHeader" : "AlternateHeader"; });

}  // namespace
}  // namespace xsc::robust

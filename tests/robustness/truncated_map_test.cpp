// A small generated map cut to every length from 0 to its full size, then loaded and compiled:
// every cut ends with xsc::Error and an unchanged file, or with exactly the reference result.
// Which cuts may load and compile follows from the layout: a load needs the whole index and the
// names; a compile needs everything up to the end of the string data (the scan of the tag data
// behind it simply stops at the end of the file).

#include <gtest/gtest.h>

#include "CompileOracle.h"
#include "FuzzEntries.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"

namespace xsc::robust {
namespace {

struct Counts {
    std::size_t loaded = 0;
    std::size_t compiled = 0;
};

class TruncatedMaps : public ::testing::TestWithParam<bool> {};

TEST_P(TruncatedMaps, EveryLengthLoadsAndCompilesOrIsRefused) {
    mapgen::MapLayout layout;
    const Bytes full = mapgen::GenerateMap(TinyMap(3, GetParam()), &layout);
    const XmlDocument script = XmlDocument::LoadXml(kFixedScript);
    const LoadBaseline baseline;
    MemoryFile file;

    // Loading and reading the script fields needs everything up to the node data's slot count
    // field; the compile needs everything up to the end of the string data.
    const std::size_t fieldsEnd = static_cast<std::size_t>(layout.nodeDataOffset) + 0x30;
    const std::size_t stringsEnd = static_cast<std::size_t>(layout.stringDataEnd);
    ASSERT_LT(stringsEnd, full.size());

    Counts counts;
    for (std::size_t length = 0; length <= full.size(); ++length) {
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
        const Verdict load = CheckLoad(file, cut, baseline.Map());
        ASSERT_FALSE(load.Violated()) << "length " << length << ": " << load.message;
        const Verdict compile = CheckCompile(file, cut, script);
        ASSERT_FALSE(compile.Violated()) << "length " << length << ": " << compile.message;

        const bool loaded = load.kind == Verdict::Kind::Accepted;
        const bool compiled = compile.kind == Verdict::Kind::Accepted;
        EXPECT_EQ(loaded, length >= fieldsEnd) << "length " << length << ": " << load.message;
        EXPECT_EQ(compiled, length >= stringsEnd) << "length " << length << ": " << compile.message;
        counts.loaded += loaded;
        counts.compiled += compiled;
    }
    EXPECT_EQ(counts.loaded, full.size() + 1 - fieldsEnd);
    EXPECT_EQ(counts.compiled, full.size() + 1 - stringsEnd);
}

INSTANTIATE_TEST_SUITE_P(HeaderKinds, TruncatedMaps, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("DaehHeader") : std::string("AlternateHeader");
                         });

// The messages a truncated map gets say where the map ends too early.
TEST(TruncatedMapMessages, NameTheProblemAndTheOffset) {
    mapgen::MapLayout layout;
    const Bytes full = mapgen::GenerateMap(TinyMap(3, true), &layout);
    const LoadBaseline baseline;
    MemoryFile file;
    auto loadMessage = [&](std::size_t length) {
        return CheckLoad(file, Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length)), baseline.Map())
            .message;
    };
    // Each message says what is cut off and the offset where it starts.
    auto at = [](std::int64_t offset) { return "(at file offset " + Hex(offset) + ")"; };
    const std::string tooShort = loadMessage(0);
    EXPECT_NE(tooShort.find("too short for a map header"), std::string::npos) << tooShort;
    EXPECT_NE(tooShort.find(at(0)), std::string::npos) << tooShort;
    const std::string noIndexOffset = loadMessage(0x12);
    EXPECT_NE(noIndexOffset.find("index offset field lies outside the file"), std::string::npos) << noIndexOffset;
    EXPECT_NE(noIndexOffset.find(at(0x10)), std::string::npos) << noIndexOffset;
    const std::string noIndex = loadMessage(static_cast<std::size_t>(layout.indexOffset) + 8);
    EXPECT_NE(noIndex.find("index header lies outside the file"), std::string::npos) << noIndex;
    EXPECT_NE(noIndex.find(at(layout.indexOffset)), std::string::npos) << noIndex;
    const std::string noEntries = loadMessage(static_cast<std::size_t>(layout.tagOffset) + 40);
    EXPECT_NE(noEntries.find("runs past the end of the file"), std::string::npos) << noEntries;
    EXPECT_NE(noEntries.find(at(layout.tagOffset)), std::string::npos) << noEntries;
    const std::string cutName = loadMessage(static_cast<std::size_t>(layout.namesOffset) + 3);
    EXPECT_NE(cutName.find("the name of tag 0 has no zero byte before the end"), std::string::npos) << cutName;
    EXPECT_NE(cutName.find(at(layout.namesOffset)), std::string::npos) << cutName;

    // Cut inside the node data: the compile names the field or region that is cut off.
    const XmlDocument script = XmlDocument::LoadXml(kFixedScript);
    const std::size_t inNodeData = static_cast<std::size_t>(layout.nodeDataOffset) + 60;
    const Verdict compile = CheckCompile(file, Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(inNodeData)), script);
    EXPECT_EQ(compile.kind, Verdict::Kind::Refused);
    EXPECT_NE(compile.message.find("outside the file"), std::string::npos) << compile.message;
}

}  // namespace
}  // namespace xsc::robust

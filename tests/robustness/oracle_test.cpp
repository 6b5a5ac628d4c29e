// The reference the robustness tests and the fuzz targets judge compiles by: it accepts what the
// compiler writes into generated maps, and it notices a result that is wrong in any of the ways
// a compile can go wrong (a moved byte, a missed or extra fix-up, a wrong field, a growth that
// does not match, a document that should have been refused).

#include <gtest/gtest.h>

#include "CompileOracle.h"
#include "runtime/XmlDocument.h"
#include "support/CompileFixture.h"

namespace xsc::robust {
namespace {

const char* kScript =
    "<s><a NameAttr='main' TypeAttr='1' ReTypeAttr='4'>"
    "<ScriptCommand Command='sleep' EngineId='22' ValueType='4'><ScriptValue ValueType='7' Value='30'/>"
    "<GlobalValue ValueType='3' Value='2' ValueCommand='g'/></ScriptCommand></a><b NameAttr='b'/></s>";

class Oracle : public ::testing::Test {
protected:
    test::Compiled Compile(const mapgen::MapOptions& options) {
        CompileOptions o;
        o.recordFixups = true;
        return test::CompileInto(dir, options, kScript, o);
    }
    Verdict Judge(const test::Compiled& c, const Bytes& after, const char* script = kScript) {
        return JudgeCompiled(c.before, after, XmlDocument::LoadXml(script), c.state, c.summary.growth);
    }
    test::TempDir dir;
};

TEST_F(Oracle, AcceptsWhatTheCompilerWritesIntoGeneratedMaps) {
    mapgen::MapOptions alternate = test::SmallMap(2);
    alternate.daehHeader = false;
    alternate.mapMagic = 0x10;  // negative Magic
    for (const mapgen::MapOptions& options : {test::SmallMap(1), alternate}) {
        const test::Compiled c = Compile(options);
        ASSERT_GT(c.summary.wordsCorrected, 0u);
        const Verdict v = Judge(c, c.after);
        EXPECT_EQ(v.kind, Verdict::Kind::Accepted) << v.message;
    }
}

TEST_F(Oracle, NoticesEachKindOfWrongResult) {
    const test::Compiled c = Compile(test::SmallMap(3));
    const std::size_t p = static_cast<std::size_t>(c.layout.stringDataEnd);
    const std::size_t g = static_cast<std::size_t>(c.summary.growth);

    Bytes movedByte = c.after;
    movedByte[p + g + 7] ^= 1;  // a byte of the moved scenario tail
    EXPECT_TRUE(Judge(c, movedByte).Violated());

    Bytes missedFixup = c.after;
    const CorrectedWord& w = c.summary.fixups.back();
    test::Put32(missedFixup, static_cast<std::size_t>(w.fileOffset), w.oldValue);
    EXPECT_TRUE(Judge(c, missedFixup).Violated());

    Bytes extraFixup = c.after;  // a word outside the range moved anyway
    const auto lower = static_cast<std::int32_t>(static_cast<std::uint32_t>(p) + static_cast<std::uint32_t>(c.layout.magic));
    std::size_t at = static_cast<std::size_t>(c.layout.scanStart);
    while (static_cast<std::int32_t>(test::Get32(extraFixup, at)) >= lower) at += 4;
    test::Put32(extraFixup, at, test::Get32(extraFixup, at) + static_cast<std::uint32_t>(g));
    EXPECT_TRUE(Judge(c, extraFixup).Violated());

    Bytes wrongField = c.after;
    test::Put32(wrongField, static_cast<std::size_t>(c.layout.scenarioOffset) + 0x49C, 3);
    EXPECT_TRUE(Judge(c, wrongField).Violated());

    Bytes notGrown(c.after.begin(), c.after.end() - 4);
    EXPECT_TRUE(Judge(c, notGrown).Violated());

    const Verdict wrongGrowth =
        JudgeCompiled(c.before, c.after, XmlDocument::LoadXml(kScript), c.state, c.summary.growth + 4);
    EXPECT_TRUE(wrongGrowth.Violated());
}

TEST_F(Oracle, NoticesACompileThatShouldHaveBeenRefused) {
    const test::Compiled c = Compile(test::SmallMap(4));
    const std::string longName = "<s><a NameAttr='" + std::string(32, 'n') + "'/></s>";
    const Verdict v = Judge(c, c.after, longName.c_str());
    EXPECT_TRUE(v.Violated());
    EXPECT_NE(v.message.find("should have been refused"), std::string::npos) << v.message;
    EXPECT_TRUE(Judge(c, c.after, "<s><a><Unknown/></a></s>").Violated());
    EXPECT_TRUE(Judge(c, c.after, "<s>text</s>").Violated());
}

}  // namespace
}  // namespace xsc::robust

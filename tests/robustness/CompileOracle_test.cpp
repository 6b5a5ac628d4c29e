// The reference the robustness tests and the fuzz targets judge compiles by accepts what the
// compiler writes into generated maps, and notices a subtly wrong result. The compile's list of
// corrected words (xsc compile --fixups) names where each word now is.

#include <gtest/gtest.h>

#include "CompileOracle.h"
#include "runtime/XmlDocument.h"
#include "support/CompileFixture.h"

namespace xsc::robust {
namespace {

const std::string kScript =
    "<s><a NameAttr='main' TypeAttr='1' ReTypeAttr='4'>"
    "<ScriptCommand Command='sleep' EngineId='22' ValueType='4'><ScriptValue ValueType='7' Value='30'/>"
    "<GlobalValue ValueType='3' Value='2' ValueCommand='g'/></ScriptCommand></a><b NameAttr='b'/></s>";

TEST(Oracle, AcceptsTheCompilersResultAndNoticesAWrongOne) {
    test::TempDir dir;
    mapgen::MapOptions alternate = test::SmallMap(2);
    alternate.daehHeader = false;
    alternate.mapMagic = 0x10;  // negative Magic
    CompileOptions options;
    options.recordFixups = true;
    options.fixup = FixupMode::Scan;  // the reference's
    for (const mapgen::MapOptions& map : {test::SmallMap(1), alternate}) {
        const test::Compiled c = test::CompileInto(dir, map, kScript, options);
        auto judge = [&](const Bytes& after, const std::string& script) {
            return JudgeCompiled(c.before, after, XmlDocument::LoadXml(script), c.state, c.summary.growth);
        };
        const Verdict right = judge(c.after, kScript);
        EXPECT_EQ(right.kind, Verdict::Kind::Accepted) << right.message;

        ASSERT_FALSE(c.summary.fixups.empty());
        for (const CorrectedWord& w : c.summary.fixups) {
            EXPECT_EQ(test::Get32(c.after, static_cast<std::size_t>(w.fileOffset)), w.newValue) << w.fileOffset;
        }
        Bytes missedFixup = c.after;
        const CorrectedWord& w = c.summary.fixups.back();
        test::Put32(missedFixup, static_cast<std::size_t>(w.fileOffset), w.oldValue);
        EXPECT_TRUE(judge(missedFixup, kScript).Violated());
        // A 32-byte name must have been refused.
        EXPECT_TRUE(judge(c.after, "<s><a NameAttr='" + std::string(32, 'n') + "'/></s>").Violated());
    }
}

}  // namespace
}  // namespace xsc::robust

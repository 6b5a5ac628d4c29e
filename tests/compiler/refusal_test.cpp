// Documents the builder refuses, with the message and the line:column of the offending node,
// and very deep nesting.

#include <string>

#include "BuildFixture.h"
#include "NodeDecoder.h"
#include "runtime/Error.h"

namespace xsc::testing {
namespace {

struct Refusal {
    const char* name;
    const char* xml;
    const char* message;  // what() in full: "line:column: problem"
};

class RefusedDocument : public BuildFixture, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedDocument, IsRefusedAtTheOffendingNodeAndNothingIsWritten) {
    const Refusal& r = GetParam();
    try {
        Build(r.xml);
        FAIL() << "accepted";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), r.message);
        EXPECT_EQ(e.subject(), Error::Subject::Script);
    }
    // Checked before anything is built: the state is as it was.
    EXPECT_EQ(SlotCount(state), 0u);
    EXPECT_EQ(state.RealSyn, 0);
    EXPECT_EQ(state.LengthIntoStrings, 6);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedDocument,
    ::testing::Values(
        Refusal{"MisspelledElement",
                "<S>\n  <ScriptComand Command=\"f\"/>\n</S>",
                "2:3: unknown element \"ScriptComand\" (expected ScriptCommand, ScriptValue or GlobalValue)"},
        Refusal{"UnknownElementInsideCall",
                "<S><ScriptCommand Command=\"f\">\n\t<Value/></ScriptCommand></S>",
                "2:2: unknown element \"Value\" (expected ScriptCommand, ScriptValue or GlobalValue)"},
        Refusal{"TextInScript",
                "<S>\n  <ScriptValue ValueType=\"8\" Value=\"1\"/>\n  stray words\n</S>",
                "3:3: text \"stray words\" is not allowed here (expected ScriptCommand, ScriptValue or "
                "GlobalValue)"},
        Refusal{"LongTextIsShortened",
                "<S><ScriptCommand>   abcdefghijklmnopqrstuvwxyz0123456789</ScriptCommand></S>",
                "1:22: text \"abcdefghijklmnopqrstuvwx...\" is not allowed here (expected ScriptCommand, "
                "ScriptValue or GlobalValue)"},
        Refusal{"CdataInCall",
                "<S><ScriptCommand><![CDATA[x]]></ScriptCommand></S>",
                "1:19: text \"x\" is not allowed here (expected ScriptCommand, ScriptValue or GlobalValue)"},
        Refusal{"ElementInValue",
                "<S>\n<scriptvalue ValueType=\"8\">\n    <ScriptValue/>\n</scriptvalue></S>",
                "3:5: \"scriptvalue\" cannot contain elements or text"},
        Refusal{"TextInGlobal",
                "<S><GlobalValue ValueType=\"8\">7</GlobalValue></S>",
                "1:31: \"GlobalValue\" cannot contain elements or text"},
        // The first offence in document order is reported, deep ones before later siblings.
        Refusal{"FirstInDocumentOrder",
                "<S><ScriptCommand><ScriptCommand><Bad1/></ScriptCommand></ScriptCommand>\n<Bad2/></S>",
                "1:34: unknown element \"Bad1\" (expected ScriptCommand, ScriptValue or GlobalValue)"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

// 100,000 calls nested in one another: 200,000 nodes, each name node naming the next call as
// its first argument, every call node without sibling.
TEST_F(BuildFixture, DeepNestingCompilesWithoutRecursion) {
    constexpr int kDepth = 100000;
    std::string xml = "<S>";
    for (int i = 0; i < kDepth; ++i) xml += "<ScriptCommand Command=\"f\">";
    for (int i = 0; i < kDepth; ++i) xml += "</ScriptCommand>";
    xml += "</S>";

    EXPECT_EQ(Build(xml), kBodyStart + 2 * kDepth);
    EXPECT_EQ(state.RealSyn, 2 * kDepth);
    ASSERT_EQ(SlotCount(state), static_cast<std::size_t>(2 * kDepth));
    EXPECT_EQ(state.LengthIntoStrings, 6 + 2 * kDepth);
    // Name node of the first call: its argument is the second call, slot 6.
    EXPECT_EQ(NodeAt(state, 1).siblingIndex, 6);
    // The innermost call (slots 4 + 199998, 4 + 199999) has no arguments and no sibling.
    const DecodedNode innermost = NodeAt(state, 2 * kDepth - 2);
    EXPECT_EQ(innermost.siblingIndex, 0xFFFF);
    EXPECT_EQ(NodeAt(state, 2 * kDepth - 1).siblingIndex, 0xFFFF);
    // Its identity number is -7305 + 199998 = 192693, low 16 bits 0xF0B5.
    EXPECT_EQ(innermost.identity, 0xF0B5);
}

TEST_F(BuildFixture, DeepNestingWithAnOffenceAtTheBottomFailsCleanly) {
    constexpr int kDepth = 100000;
    std::string xml = "<S>";
    for (int i = 0; i < kDepth; ++i) xml += "<ScriptCommand>";
    xml += "<Oops/>";
    for (int i = 0; i < kDepth; ++i) xml += "</ScriptCommand>";
    xml += "</S>";
    try {
        Build(xml);
        FAIL() << "accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.line(), 1);
        EXPECT_EQ(e.column(), 4 + 15 * kDepth);
    }
    EXPECT_EQ(SlotCount(state), 0u);
}

}  // namespace
}  // namespace xsc::testing

// The shape of compiled expressions: identities, sibling and child pointers, string offsets and
// texts, compared with records worked out by hand from the node layout.

#include <string>

#include "BuildFixture.h"

namespace xsc::testing {
namespace {

using XmlBuildTest = BuildFixture;

// F(G(V1), V2) from slot 4: identities 0xE377..0xE37C. Strings: "begin\0" 0-5,
// "sleep_until\0" 6-17, "ai_living_count\0" 18-33; V1 and V2 store no text, so they name 34,
// where the next text would start.
TEST_F(XmlBuildTest, WorkedExampleIsNumberedDepthFirstAndLinked) {
    EXPECT_EQ(Build(R"(<Script>
      <ScriptCommand Command="sleep_until" EngineId="17" ValueType="4">
        <ScriptCommand Command="ai_living_count" EngineId="300" ValueType="7">
          <ScriptValue ValueType="7" ExpType="3" Value="42"/>
        </ScriptCommand>
        <ScriptValue ValueType="7" Value="-2"/>
      </ScriptCommand>
    </Script>)"),
              kBodyStart + 6);
    const Node expected[] = {
        {0xE377, 17, 4, 8, kNone, kNone, 6, 5, 0xE378},        // F call; child: F name (slot 5)
        {0xE378, 17, 2, 9, 6, 0xE379, 6, 0, 0},                // F name; sibling: first argument G
        {0xE379, 300, 7, 8, 9, 0xE37C, 18, 7, 0xE37A},         // G call; sibling: V2, behind G's subtree
        {0xE37A, 300, 2, 9, 8, 0xE37B, 18, 0, 0},              // G name; sibling: V1
        {0xE37B, 7, 7, 9, kNone, kNone, 34, 42, 0xFFFF},       // V1; its ExpType attribute plays no part
        {0xE37C, 7, 7, 9, kNone, kNone, 34, 0xFFFE, 0xFFFF}};  // V2 = -2
    ASSERT_EQ(Slots(), 6u);
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(At(i), expected[i]) << "slot " << i + 4;
    EXPECT_EQ(state.RealSyn, 6);
    EXPECT_EQ(Strings(), std::string("sleep_until\0ai_living_count\0", 28));
}

// A node that stores no text takes the offset the next stored text gets.
TEST_F(XmlBuildTest, NodeWithoutTextNamesWhereTheNextTextStarts) {
    Build(R"(<S><ScriptValue ValueType="5" Value="true"/><GlobalValue ValueType="8" ValueCommand="g"/>
             <ScriptValue ValueType="3" Value="txt"/></S>)");
    EXPECT_EQ(At(0).offset, 6u);
    EXPECT_EQ(At(1).offset, 6u);
    EXPECT_EQ(At(2).offset, 6u);
    EXPECT_EQ(Strings(), std::string("txt\0", 4));
}

// Call a with 40 arguments, then call b without any: a's call node names b's call node, slot
// 4 + 2 + 40 = 46, identity 0xE377 + 42.
TEST_F(XmlBuildTest, SiblingPointerSpansALargeSubtree) {
    std::string xml = "<S><ScriptCommand Command=\"a\">";
    for (int i = 0; i < 40; ++i) xml += "<ScriptValue ValueType=\"8\" Value=\"1\"/>";
    EXPECT_EQ(Build(xml + "</ScriptCommand><ScriptCommand Command=\"b\"/></S>"), kBodyStart + 44);
    EXPECT_EQ(At(0).sibIndex, 46);
    EXPECT_EQ(At(0).sibId, 0xE377 + 42);
    for (std::size_t i = 2; i < 41; ++i) EXPECT_EQ(At(i).sibIndex, i + 5) << "argument in slot " << i + 4;
    EXPECT_EQ(At(41).sibIndex, kNone);  // a's last argument
    EXPECT_EQ(At(42).sibIndex, kNone);  // b, the last expression
    EXPECT_EQ(At(43).sibIndex, kNone);  // b's name node: no argument
}

TEST_F(XmlBuildTest, CommentsAndInstructionsDoNotChangeWhichExpressionIsLast) {
    Build(R"(<S><!-- a --><ScriptCommand Command="f"><ScriptValue ValueType="8" Value="1"/><!-- b -->
             <ScriptValue ValueType="8" Value="2"/><?editor fold?></ScriptCommand><!-- c --></S>)");
    ASSERT_EQ(Slots(), 4u);
    EXPECT_EQ(At(0).sibIndex, kNone);
    EXPECT_EQ(At(2).sibIndex, 7);  // 1 -> 2 across the comment
    EXPECT_EQ(At(3).sibIndex, kNone);
}

// Element names match in any letter case, attribute names only exactly: "command", "engineid",
// "valuetype" and "value" are absent, so numbers are 0 and texts empty (stored as one zero byte).
TEST_F(XmlBuildTest, ElementNamesIgnoreCaseAttributeNamesDoNot) {
    Build(R"(<S><scriptcommand command="f" engineid="5" valuetype="6"><SCRIPTVALUE ValueType="8" Value="3"/>
             </scriptcommand><globalVALUE ValueType="8" Value="4"/><ScriptValue valuetype="8" value="9"/></S>)");
    ASSERT_EQ(Slots(), 5u);
    EXPECT_EQ(At(0), (Node{0xE377, 0, 0, 8, 7, 0xE37A, 6, 5, 0xE378}));
    EXPECT_EQ(At(2), (Node{0xE379, 8, 8, 9, kNone, kNone, 7, 3, 0}));
    EXPECT_EQ(At(3), (Node{0xE37A, 0xFFFF, 8, 13, 8, 0xE37B, 7, 4, 0}));
    // Value type 0 stores its (empty) Value as text and 0 as its value.
    EXPECT_EQ(At(4), (Node{0xE37B, 0, 0, 9, kNone, kNone, 7, 0, 0}));
    EXPECT_EQ(Strings(), std::string("\0\0", 2));
}

// Lengths are in bytes: "für" is 4 bytes of UTF-8, so the next text starts 5 bytes later.
TEST_F(XmlBuildTest, NonAsciiTextsAdvanceByTheirByteLength) {
    Build("<S><ScriptCommand Command=\"f\xC3\xBCr\"/><ScriptCommand Command=\"x\"/></S>");
    EXPECT_EQ(At(2).offset, 11u);
    EXPECT_EQ(Strings(), std::string("f\xC3\xBCr\0x\0", 7));
}

// 100,000 calls nested in one another: 200,000 nodes, each name node naming the next call.
TEST_F(XmlBuildTest, HundredThousandLevelsCompileWithoutCrashing) {
    constexpr int kDepth = 100000;
    std::string xml = "<S>";
    for (int i = 0; i < kDepth; ++i) xml += "<ScriptCommand Command=\"f\">";
    for (int i = 0; i < kDepth; ++i) xml += "</ScriptCommand>";
    EXPECT_EQ(Build(xml + "</S>"), kBodyStart + 2 * kDepth);
    ASSERT_EQ(Slots(), std::size_t{2 * kDepth});
    EXPECT_EQ(At(1).sibIndex, 6);
    // The innermost call: identity -7305 + 199998 = 192693 (low 16 bits 0xF0B5), no sibling,
    // and its name node no argument.
    EXPECT_EQ(At(2 * kDepth - 2).identity, 0xF0B5);
    EXPECT_EQ(At(2 * kDepth - 2).sibIndex, kNone);
    EXPECT_EQ(At(2 * kDepth - 1).sibIndex, kNone);
}

}  // namespace
}  // namespace xsc::testing

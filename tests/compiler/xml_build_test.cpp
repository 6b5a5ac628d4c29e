// The shape of compiled expressions: identities, sibling and child pointers, node counts and
// texts, checked against values worked out by hand from the node record layout.

#include <string>

#include "BuildFixture.h"
#include "NodeDecoder.h"

namespace xsc::testing {
namespace {

constexpr std::uint16_t kNone = 0xFFFF;

using XmlBuildTest = BuildFixture;

// F(G(V1), V2): slots 4..9, identities 0xE377..0xE37C.
TEST_F(XmlBuildTest, NestedCallsAreNumberedDepthFirstAndLinked) {
    const std::int32_t next = Build(R"(<Script>
      <ScriptCommand Command="sleep_until" EngineId="17" ValueType="4">
        <ScriptCommand Command="ai_living_count" EngineId="300" ValueType="7">
          <ScriptValue ValueType="7" ExpType="9" Value="42"/>
        </ScriptCommand>
        <ScriptValue ValueType="7" Value="-2"/>
      </ScriptCommand>
    </Script>)");

    EXPECT_EQ(next, kBodyStart + 6);
    EXPECT_EQ(state.RealSyn, 6);
    ASSERT_EQ(SlotCount(state), 6u);
    // "begin\0" 0-5, "sleep_until\0" 6-17, "ai_living_count\0" 18-33.
    EXPECT_EQ(AllStrings(state), std::string("begin\0sleep_until\0ai_living_count\0", 34));
    EXPECT_EQ(state.LengthIntoStrings, 34);

    const DecodedNode f = NodeAt(state, 0);
    EXPECT_EQ(f.identity, 0xE377);
    EXPECT_EQ(f.engine, 17);
    EXPECT_EQ(f.valueType, 4);
    EXPECT_EQ(f.expType, 8);
    EXPECT_EQ(f.siblingIndex, kNone);  // the only expression of the script
    EXPECT_EQ(f.siblingId, kNone);
    EXPECT_EQ(f.stringOffset, 6);
    EXPECT_EQ(f.low, 5);  // child: F's name node, slot 5
    EXPECT_EQ(f.high, 0xE378);

    const DecodedNode fName = NodeAt(state, 1);
    EXPECT_EQ(fName.identity, 0xE378);
    EXPECT_EQ(fName.engine, 17);
    EXPECT_EQ(fName.valueType, 2);
    EXPECT_EQ(fName.expType, 9);
    EXPECT_EQ(fName.siblingIndex, 6);  // first argument: G's call node
    EXPECT_EQ(fName.siblingId, 0xE379);
    EXPECT_EQ(fName.stringOffset, 6);
    EXPECT_EQ(fName.low, 0);
    EXPECT_EQ(fName.high, 0);

    const DecodedNode g = NodeAt(state, 2);
    EXPECT_EQ(g.identity, 0xE379);
    EXPECT_EQ(g.engine, 300);
    EXPECT_EQ(g.valueType, 7);
    EXPECT_EQ(g.expType, 8);
    EXPECT_EQ(g.siblingIndex, 9);  // V2, behind G's whole subtree
    EXPECT_EQ(g.siblingId, 0xE37C);
    EXPECT_EQ(g.stringOffset, 18);
    EXPECT_EQ(g.low, 7);
    EXPECT_EQ(g.high, 0xE37A);

    const DecodedNode gName = NodeAt(state, 3);
    EXPECT_EQ(gName.identity, 0xE37A);
    EXPECT_EQ(gName.siblingIndex, 8);
    EXPECT_EQ(gName.siblingId, 0xE37B);
    EXPECT_EQ(gName.stringOffset, 18);

    const DecodedNode v1 = NodeAt(state, 4);
    EXPECT_EQ(v1.identity, 0xE37B);
    EXPECT_EQ(v1.engine, 7);  // a value node repeats its value type here
    EXPECT_EQ(v1.valueType, 7);
    EXPECT_EQ(v1.expType, 9);
    EXPECT_EQ(v1.siblingIndex, kNone);  // G's only argument
    EXPECT_EQ(v1.siblingId, kNone);
    EXPECT_EQ(v1.stringOffset, 34);  // no text of its own: where the next text would go
    EXPECT_EQ(v1.low, 42);
    EXPECT_EQ(v1.high, 0xFFFF);

    const DecodedNode v2 = NodeAt(state, 5);
    EXPECT_EQ(v2.identity, 0xE37C);
    EXPECT_EQ(v2.siblingIndex, kNone);  // F's last argument
    EXPECT_EQ(v2.siblingId, kNone);
    EXPECT_EQ(v2.low, 0xFFFE);
    EXPECT_EQ(v2.high, 0xFFFF);
}

TEST_F(XmlBuildTest, ElementWithoutChildrenAppendsNothing) {
    EXPECT_EQ(Build("<Script NameAttr=\"empty\"/>"), kBodyStart);
    EXPECT_EQ(SlotCount(state), 0u);
    EXPECT_EQ(state.RealSyn, 0);
    EXPECT_EQ(state.LengthIntoStrings, 6);
}

TEST_F(XmlBuildTest, SingleValueHasNoSibling) {
    EXPECT_EQ(Build(R"(<S><ScriptValue ValueType="8" Value="1"/></S>)"), kBodyStart + 1);
    ASSERT_EQ(SlotCount(state), 1u);
    EXPECT_EQ(NodeAt(state, 0).siblingIndex, kNone);
    EXPECT_EQ(NodeAt(state, 0).siblingId, kNone);
    EXPECT_EQ(state.RealSyn, 1);
}

TEST_F(XmlBuildTest, CallWithoutArgumentsHasNameNodeWithoutSibling) {
    EXPECT_EQ(Build(R"(<S><ScriptCommand Command="garbage_collect_now" EngineId="-2" ValueType="4"/></S>)"),
              kBodyStart + 2);
    ASSERT_EQ(SlotCount(state), 2u);
    const DecodedNode call = NodeAt(state, 0);
    const DecodedNode name = NodeAt(state, 1);
    EXPECT_EQ(call.engine, 0xFFFE);
    EXPECT_EQ(name.engine, 0xFFFE);
    EXPECT_EQ(call.low, 5);
    EXPECT_EQ(call.high, 0xE378);
    EXPECT_EQ(name.siblingIndex, kNone);
    EXPECT_EQ(name.siblingId, kNone);
    EXPECT_EQ(name.low, 0);
    EXPECT_EQ(name.high, 0);
    EXPECT_EQ(call.stringOffset, 6);
    EXPECT_EQ(name.stringOffset, 6);
    EXPECT_EQ(TextAt(state, 6), "garbage_collect_now");
    EXPECT_EQ(state.RealSyn, 2);
}

// Two top-level calls with 40 arguments under the first: the first call node names the second
// call node, whatever lies between.
TEST_F(XmlBuildTest, SiblingCallsAreLinkedAcrossALargeSubtree) {
    std::string xml = "<S><ScriptCommand Command=\"a\">";
    for (int i = 0; i < 40; ++i) xml += "<ScriptValue ValueType=\"8\" Value=\"" + std::to_string(i) + "\"/>";
    xml += "</ScriptCommand><ScriptCommand Command=\"b\"/></S>";

    EXPECT_EQ(Build(xml), kBodyStart + 44);
    ASSERT_EQ(SlotCount(state), 44u);
    // Call a: slots 4, 5; its arguments: slots 6..45; call b: slot 46, identity 0xE377 + 42.
    EXPECT_EQ(NodeAt(state, 0).siblingIndex, 46);
    EXPECT_EQ(NodeAt(state, 0).siblingId, 0xE377 + 42);
    EXPECT_EQ(NodeAt(state, 1).siblingIndex, 6);
    for (std::size_t slot = 2; slot < 41; ++slot) {
        EXPECT_EQ(NodeAt(state, slot).siblingIndex, slot + 5) << "argument in slot " << slot + 4;
    }
    EXPECT_EQ(NodeAt(state, 41).siblingIndex, kNone);  // a's last argument
    EXPECT_EQ(NodeAt(state, 42).siblingIndex, kNone);  // b: last at the top level
    EXPECT_EQ(NodeAt(state, 42).stringOffset, 8);      // "begin\0a\0" then "b"
    EXPECT_EQ(state.RealSyn, 44);
}

// Record fields keep the low 16 bits of identity numbers: starting at 0xFFFF, the second node
// is identity 0x0000 and its slot index is 0 - (-7309) = 7309.
TEST_F(XmlBuildTest, IdentitiesWrapAtSixteenBits) {
    const std::int32_t start = -1;  // low 16 bits 0xFFFF, slot 7308
    EXPECT_EQ(Build(R"(<S><ScriptCommand Command="x"/><ScriptValue ValueType="8" Value="0"/></S>)", start),
              start + 3);
    const DecodedNode call = NodeAt(state, 0);
    EXPECT_EQ(call.identity, 0xFFFF);
    EXPECT_EQ(call.low, 7309);  // child: identity 0
    EXPECT_EQ(call.high, 0x0000);
    EXPECT_EQ(call.siblingIndex, 7310);
    EXPECT_EQ(call.siblingId, 0x0001);
    EXPECT_EQ(NodeAt(state, 1).identity, 0x0000);
    EXPECT_EQ(NodeAt(state, 2).identity, 0x0001);
}

TEST_F(XmlBuildTest, CommentsAndInstructionsDoNotChangeWhichExpressionIsLast) {
    Build(R"(<S>
      <!-- first -->
      <ScriptCommand Command="f">
        <ScriptValue ValueType="8" Value="1"/>
        <!-- between -->
        <ScriptValue ValueType="8" Value="2"/>
        <?editor fold?>
      </ScriptCommand>
      <!-- trailing -->
    </S>)");
    ASSERT_EQ(SlotCount(state), 4u);
    EXPECT_EQ(NodeAt(state, 0).siblingIndex, kNone);  // the call is still the last expression
    EXPECT_EQ(NodeAt(state, 2).siblingIndex, 7);      // 1 -> 2 across the comment
    EXPECT_EQ(NodeAt(state, 3).siblingIndex, kNone);  // 2 stays last despite the instruction
    EXPECT_EQ(NodeAt(state, 3).siblingId, kNone);
}

TEST_F(XmlBuildTest, ElementNamesAreRecognisedInAnyCase) {
    EXPECT_EQ(Build(R"(<S><scriptcommand Command="f"><SCRIPTVALUE ValueType="8" Value="3"/></scriptcommand>
                         <globalVALUE ValueType="8" Value="4"/></S>)"),
              kBodyStart + 4);
    EXPECT_EQ(NodeAt(state, 0).expType, 8);
    EXPECT_EQ(NodeAt(state, 2).expType, 9);
    EXPECT_EQ(NodeAt(state, 2).low, 3);
    EXPECT_EQ(NodeAt(state, 3).expType, 13);
    EXPECT_EQ(NodeAt(state, 3).low, 4);
}

// Absent attributes read as empty text: numbers 0, texts empty (still stored, as one zero byte).
// Attribute names are case-sensitive, so "command" or "valuetype" are absent attributes.
TEST_F(XmlBuildTest, AbsentAttributesAndOtherCaseNamesReadAsEmpty) {
    Build(R"(<S><ScriptCommand command="f" engineid="5" valuetype="6"/>
                <ScriptValue valuetype="8" value="9"/></S>)");
    ASSERT_EQ(SlotCount(state), 3u);
    const DecodedNode call = NodeAt(state, 0);
    EXPECT_EQ(call.engine, 0);
    EXPECT_EQ(call.valueType, 0);
    EXPECT_EQ(call.stringOffset, 6);
    // Value type 0 stores its (empty) Value as text, with value 0.
    const DecodedNode value = NodeAt(state, 2);
    EXPECT_EQ(value.valueType, 0);
    EXPECT_EQ(value.engine, 0);
    EXPECT_EQ(value.stringOffset, 7);
    EXPECT_EQ(value.low, 0);
    EXPECT_EQ(value.high, 0);
    EXPECT_EQ(AllStrings(state), std::string("begin\0\0\0", 8));
}

// Lengths are in bytes: "für" is 4 bytes of UTF-8, so the next text starts 5 bytes later.
TEST_F(XmlBuildTest, NonAsciiTextsAdvanceByTheirByteLength) {
    Build("<S><ScriptCommand Command=\"f\xC3\xBCr\"/><ScriptCommand Command=\"x\"/></S>");
    EXPECT_EQ(NodeAt(state, 0).stringOffset, 6);
    EXPECT_EQ(TextAt(state, 6), "f\xC3\xBCr");
    EXPECT_EQ(NodeAt(state, 2).stringOffset, 11);
    EXPECT_EQ(state.LengthIntoStrings, 13);
}

TEST_F(XmlBuildTest, IndentedDocumentCompilesLikeTheOneLineDocument) {
    Build(R"(<S><ScriptCommand Command="f" EngineId="3"><ScriptValue ValueType="5" Value="true"/><GlobalValue ValueType="11" Value="2" ValueCommand="g"/></ScriptCommand></S>)");
    const ScriptCompilier oneLine = state;
    SetUp();
    Build(R"(
      <S>
        <ScriptCommand   Command="f"
                         EngineId="3">
          <ScriptValue ValueType="5" Value="true" />

          <GlobalValue ValueType="11" Value="2" ValueCommand="g" />
        </ScriptCommand>
      </S>
    )");
    EXPECT_EQ(state.SyntaxBlock.Bytes(), oneLine.SyntaxBlock.Bytes());
    EXPECT_EQ(AllStrings(state), AllStrings(oneLine));
    EXPECT_EQ(state.RealSyn, oneLine.RealSyn);
}

}  // namespace
}  // namespace xsc::testing

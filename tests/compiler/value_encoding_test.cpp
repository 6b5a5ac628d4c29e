// How literal values and globals are stored: the last four bytes of the node and the texts
// appended to the string data, per value type. Expected bytes are worked out by hand
// (little-endian; IEEE single precision: 3.0 = 0x40400000, 2.0 = 0x40000000, -1.0 = 0xBF800000).

#include <array>
#include <ostream>
#include <string>

#include "BuildFixture.h"
#include "NodeDecoder.h"

namespace xsc::testing {
namespace {

using Bytes = std::array<std::uint8_t, 4>;

Bytes LastBytes(const DecodedNode& node) { return {node.last[0], node.last[1], node.last[2], node.last[3]}; }

struct ValueCase {
    const char* valueType;
    const char* value;
    Bytes stored;
    const char* text;  // appended to the string data, or nullptr
};

void PrintTo(const ValueCase& c, std::ostream* os) {
    *os << "ValueType=\"" << c.valueType << "\" Value=\"" << c.value << "\"";
}

class ScriptValueEncoding : public BuildFixture, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ScriptValueEncoding, StoresTheValueByType) {
    const ValueCase& c = GetParam();
    Build(std::string("<S><ScriptValue ValueType=\"") + c.valueType + "\" ExpType=\"13\" Value=\"" + c.value +
          "\"/></S>");
    ASSERT_EQ(SlotCount(state), 1u);
    const DecodedNode node = NodeAt(state, 0);
    EXPECT_EQ(LastBytes(node), c.stored);
    EXPECT_EQ(node.expType, 9);  // the ExpType attribute plays no part
    EXPECT_EQ(node.engine, node.valueType);
    EXPECT_EQ(node.stringOffset, 6);
    if (c.text != nullptr) {
        EXPECT_EQ(TextAt(state, 6), c.text);
        EXPECT_EQ(state.LengthIntoStrings, 6 + static_cast<std::int32_t>(std::string(c.text).size()) + 1);
    } else {
        EXPECT_EQ(state.LengthIntoStrings, 6);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ByValueType, ScriptValueEncoding,
    ::testing::Values(
        ValueCase{"5", "true", {0x01, 0xFF, 0xFF, 0xFF}, nullptr},
        ValueCase{"5", "TRUE", {0x01, 0xFF, 0xFF, 0xFF}, nullptr},
        ValueCase{"5", "False", {0x00, 0xFF, 0xFF, 0xFF}, nullptr},
        ValueCase{"5", "fAlSe", {0x00, 0xFF, 0xFF, 0xFF}, nullptr},
        // Any other word is stored as text with value 0, 0xFFFF.
        ValueCase{"5", "maybe", {0x00, 0x00, 0xFF, 0xFF}, "maybe"},
        ValueCase{"5", " true", {0x00, 0x00, 0xFF, 0xFF}, " true"},
        ValueCase{"5", "1", {0x00, 0x00, 0xFF, 0xFF}, "1"},
        // A real is cut to an integer first: the fraction is gone.
        ValueCase{"6", "3", {0x00, 0x00, 0x40, 0x40}, nullptr},
        ValueCase{"6", "2.75", {0x00, 0x00, 0x00, 0x40}, nullptr},
        ValueCase{"6", "-1.9", {0x00, 0x00, 0x80, 0xBF}, nullptr},
        // 16 bits: 70000 = 0x11170 keeps 0x1170.
        ValueCase{"7", "70000", {0x70, 0x11, 0xFF, 0xFF}, nullptr},
        ValueCase{"7", "-1", {0xFF, 0xFF, 0xFF, 0xFF}, nullptr},
        ValueCase{"7", "12", {0x0C, 0x00, 0xFF, 0xFF}, nullptr},
        ValueCase{"8", "-1", {0xFF, 0xFF, 0xFF, 0xFF}, nullptr},
        ValueCase{"8", "305419896", {0x78, 0x56, 0x34, 0x12}, nullptr},
        ValueCase{"8", "4294967295", {0xFF, 0xFF, 0xFF, 0xFF}, nullptr},
        ValueCase{"8", "not a number", {0x00, 0x00, 0x00, 0x00}, nullptr},
        // "5.9" is the number 5: a boolean.
        ValueCase{"5.9", "true", {0x01, 0xFF, 0xFF, 0xFF}, nullptr},
        // Other types store the text and 32 bits of 0.
        ValueCase{"3", "hello", {0x00, 0x00, 0x00, 0x00}, "hello"},
        ValueCase{"0", "", {0x00, 0x00, 0x00, 0x00}, ""},
        // The type is compared as a 32-bit number: 65544 is not 8, though its low 16 bits are.
        ValueCase{"65544", "7", {0x00, 0x00, 0x00, 0x00}, "7"}));

class GlobalValueEncoding : public BuildFixture, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(GlobalValueEncoding, StoresTheValueByType) {
    const ValueCase& c = GetParam();
    Build(std::string("<S><GlobalValue ValueType=\"") + c.valueType + "\" ExpType=\"9\" Value=\"" + c.value +
          "\" ValueCommand=\"g_name\"/></S>");
    ASSERT_EQ(SlotCount(state), 1u);
    const DecodedNode node = NodeAt(state, 0);
    EXPECT_EQ(LastBytes(node), c.stored);
    EXPECT_EQ(node.expType, 13);
    EXPECT_EQ(node.engine, 0xFFFF);
    EXPECT_EQ(node.stringOffset, 6);
    EXPECT_EQ(state.RealSyn, 1);
    if (c.text != nullptr) {
        EXPECT_EQ(TextAt(state, 6), c.text);
        EXPECT_EQ(state.LengthIntoStrings, 6 + 7);
    } else {
        EXPECT_EQ(state.LengthIntoStrings, 6);  // ValueCommand not stored
    }
}

INSTANTIATE_TEST_SUITE_P(
    ByValueType, GlobalValueEncoding,
    ::testing::Values(
        ValueCase{"5", "True", {0x01, 0xFF, 0xFF, 0xFF}, nullptr},
        ValueCase{"5", "FALSE", {0x00, 0xFF, 0xFF, 0xFF}, nullptr},
        // Other text: its number is the value and the name is stored.
        ValueCase{"5", "12", {0x0C, 0x00, 0xFF, 0xFF}, "g_name"},
        ValueCase{"5", "yes", {0x00, 0x00, 0xFF, 0xFF}, "g_name"},
        ValueCase{"6", "3.5", {0x00, 0x00, 0x40, 0x40}, nullptr},
        ValueCase{"7", "70000", {0x70, 0x11, 0xFF, 0xFF}, nullptr},
        ValueCase{"8", "-1", {0xFF, 0xFF, 0xFF, 0xFF}, nullptr},
        // Other types: the low 16 bits of the number, 0xFFFF, and the name stored.
        ValueCase{"11", "70000", {0x70, 0x11, 0xFF, 0xFF}, "g_name"},
        ValueCase{"0", "-2", {0xFE, 0xFF, 0xFF, 0xFF}, "g_name"}));

// A node that stores no text names the offset where the next text starts; its value field and
// sibling pointer are unaffected by what follows.
TEST_F(BuildFixture, BooleanBeforeATextStoringNodeSharesItsStringOffset) {
    Build(R"(<S><ScriptValue ValueType="5" Value="true"/><ScriptValue ValueType="3" Value="txt"/>
             <GlobalValue ValueType="8" Value="1" ValueCommand="unused"/>
             <GlobalValue ValueType="5" Value="x" ValueCommand="gv"/></S>)");
    ASSERT_EQ(SlotCount(state), 4u);
    const DecodedNode boolean = NodeAt(state, 0);
    EXPECT_EQ(LastBytes(boolean), (Bytes{0x01, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(boolean.stringOffset, 6);
    EXPECT_EQ(NodeAt(state, 1).stringOffset, 6);  // "txt" at 6..9
    EXPECT_EQ(boolean.siblingIndex, 5);
    EXPECT_EQ(boolean.siblingId, 0xE378);
    EXPECT_EQ(NodeAt(state, 2).stringOffset, 10);
    EXPECT_EQ(NodeAt(state, 3).stringOffset, 10);  // "gv" at 10..12
    EXPECT_EQ(AllStrings(state), std::string("begin\0txt\0gv\0", 13));
}

}  // namespace
}  // namespace xsc::testing

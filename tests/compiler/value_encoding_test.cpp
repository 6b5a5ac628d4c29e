// How "ScriptValue" and "GlobalValue" store their value, by value type: bytes 16-19 of the node,
// read little-endian (bytes 01 FF FF FF are 0xFFFFFF01), and the text appended, if any. IEEE
// single precision: 3.0 = 0x40400000, -1.0 = 0xBF800000.

#include <ostream>
#include <string>
#include <string_view>

#include "BuildFixture.h"

namespace xsc::testing {
namespace {

struct ValueCase {
    const char* element;
    const char* valueType;
    const char* value;
    std::uint32_t field;
    const char* text;  // appended to the string data, or nullptr
};

void PrintTo(const ValueCase& c, std::ostream* os) {
    *os << c.element << " ValueType=\"" << c.valueType << "\" Value=\"" << c.value << "\"";
}

class ValueEncoding : public BuildFixture, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ValueEncoding, StoresTheValueByType) {
    const ValueCase& c = GetParam();
    const bool global = std::string_view(c.element) == "GlobalValue";
    EXPECT_EQ(Build(std::string("<S><") + c.element + " ValueType=\"" + c.valueType + "\" Value=\"" + c.value +
                    "\" ValueCommand=\"g_name\"/></S>"),
              kBodyStart + 1);
    const Node node = At(0);
    EXPECT_EQ(node.low | static_cast<std::uint32_t>(node.high) << 16, c.field);
    EXPECT_EQ(Strings(), c.text ? std::string(c.text) + '\0' : "");
    EXPECT_EQ(node.offset, 6u);  // where its text starts, or where the next one would
    EXPECT_EQ(node.engine, global ? 0xFFFF : node.valueType);
    EXPECT_EQ(node.expType, global ? 13 : 9);
    EXPECT_EQ(node.sibIndex, kNone);
    EXPECT_EQ(state.RealSyn, 1);
}

INSTANTIATE_TEST_SUITE_P(
    ByValueType, ValueEncoding,
    ::testing::Values(
        ValueCase{"ScriptValue", "5", "TRUE", 0xFFFFFF01, nullptr},
        ValueCase{"GlobalValue", "5", "True", 0xFFFFFF01, nullptr},
        ValueCase{"ScriptValue", "5", "fAlSe", 0xFFFFFF00, nullptr},
        ValueCase{"GlobalValue", "5", "false", 0xFFFFFF00, nullptr},
        // Any other word: a value stores it with 0, 0xFFFF; a global stores its name with v, 0xFFFF.
        ValueCase{"ScriptValue", "5", " true", 0xFFFF0000, " true"},
        ValueCase{"GlobalValue", "5", "12", 0xFFFF000C, "g_name"},
        // A real is cut to an integer, toward zero, before it becomes a float.
        ValueCase{"ScriptValue", "6", "-1.9", 0xBF800000, nullptr},
        ValueCase{"GlobalValue", "6", "3.5", 0x40400000, nullptr},
        // 16 bits: 70000 = 0x11170 keeps 0x1170.
        ValueCase{"ScriptValue", "7", "70000", 0xFFFF1170, nullptr},
        ValueCase{"GlobalValue", "7", "-1", 0xFFFFFFFF, nullptr},
        ValueCase{"ScriptValue", "8", "305419896", 0x12345678, nullptr},
        ValueCase{"GlobalValue", "8", "65536", 0x00010000, nullptr},
        // Other types: a value stores its text and 0; a global its name and v (16 bits), 0xFFFF.
        ValueCase{"ScriptValue", "3", "hello", 0, "hello"},
        ValueCase{"GlobalValue", "11", "70000", 0xFFFF1170, "g_name"},
        // The type is a number attribute ("5.9" is 5), compared in 32 bits (65544 is not 8).
        ValueCase{"ScriptValue", "5.9", "true", 0xFFFFFF01, nullptr},
        ValueCase{"ScriptValue", "65544", "7", 0, "7"}));

}  // namespace
}  // namespace xsc::testing

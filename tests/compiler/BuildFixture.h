#pragma once
// Compiles the children of a document's root element as the build does for one script body
// (the string data already holds "begin", the body starts at slot 4, identity 0xE373 + 4 =
// 0xE377) and reads the node records back byte by byte, without the code that wrote them.

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "compiler/XmlBuild.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc::testing {

constexpr std::int32_t kBodyStart = -7309 + 4;  // identity number of slot 4
constexpr std::uint16_t kNone = 0xFFFF;

// A 20-byte node record, little-endian: identity, engine, value type, expression type (16 bits
// each), the sibling pointer (slot index, identity), the string offset (32 bits), and the child
// pointer or value as two 16-bit halves.
struct Node {
    std::uint16_t identity, engine, valueType, expType, sibIndex, sibId;
    std::uint32_t offset;
    std::uint16_t low, high;
    bool operator==(const Node&) const = default;
};

inline void PrintTo(const Node& n, std::ostream* os) {
    *os << std::hex << "{" << n.identity << " " << n.engine << " " << n.valueType << " " << n.expType << " "
        << n.sibIndex << " " << n.sibId << " " << n.offset << " " << n.low << " " << n.high << "}";
}

class BuildFixture : public ::testing::Test {
protected:
    void SetUp() override {
        state.ResetForBuild();
        state.LengthIntoStrings = 0;
        state.AppendString("begin");
    }

    std::int32_t Build(std::string_view xml) {
        document = XmlDocument::LoadXml(xml);
        return XmlBuild(state, *document.DocumentElement(), kBodyStart);
    }

    std::size_t Slots() const { return state.SyntaxBlock.Size() / 20; }

    // The i-th node appended (slot i + 4).
    Node At(std::size_t i) const {
        const std::uint8_t* b = state.SyntaxBlock.Data();
        const auto w = [&](std::size_t k) {
            return static_cast<std::uint16_t>(b[i * 20 + k] | b[i * 20 + k + 1] << 8);
        };
        const std::uint32_t offset = w(12) | static_cast<std::uint32_t>(w(14)) << 16;
        return {w(0), w(2), w(4), w(6), w(8), w(10), offset, w(16), w(18)};
    }

    // The string data behind "begin\0", zero bytes included.
    std::string Strings() const {
        const auto* b = reinterpret_cast<const char*>(state.StrBlock.Data());
        return std::string(b + 6, b + state.LengthIntoStrings);
    }

    ScriptCompilier state;
    XmlDocument document;
};

}  // namespace xsc::testing

#pragma once
// Reads back what the compiler wrote, byte by byte, without going through the code that wrote
// it: node records of SyntaxBlock and zero-terminated texts of StrBlock.

#include <cstdint>
#include <string>
#include <vector>

#include "scriptdata/ScriptCompilier.h"

namespace xsc::testing {

struct DecodedNode {
    std::uint16_t identity = 0;      // bytes 0-1
    std::uint16_t engine = 0;        // bytes 2-3
    std::uint16_t valueType = 0;     // bytes 4-5
    std::uint16_t expType = 0;       // bytes 6-7
    std::uint16_t siblingIndex = 0;  // bytes 8-9
    std::uint16_t siblingId = 0;     // bytes 10-11
    std::int32_t stringOffset = 0;   // bytes 12-15
    std::uint16_t low = 0;           // bytes 16-17
    std::uint16_t high = 0;          // bytes 18-19
    std::uint8_t last[4] = {};       // bytes 16-19 as stored
};

inline std::uint16_t Word(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) + 256 * b.at(at + 1));
}

inline std::size_t SlotCount(const ScriptCompilier& state) { return state.SyntaxBlock.Size() / 20; }

inline DecodedNode NodeAt(const ScriptCompilier& state, std::size_t slot) {
    const std::vector<std::uint8_t>& b = state.SyntaxBlock.Bytes();
    const std::size_t at = slot * 20;
    DecodedNode node;
    node.identity = Word(b, at);
    node.engine = Word(b, at + 2);
    node.valueType = Word(b, at + 4);
    node.expType = Word(b, at + 6);
    node.siblingIndex = Word(b, at + 8);
    node.siblingId = Word(b, at + 10);
    node.stringOffset = static_cast<std::int32_t>(Word(b, at + 12) + 65536u * Word(b, at + 14));
    node.low = Word(b, at + 16);
    node.high = Word(b, at + 18);
    for (int i = 0; i < 4; ++i) node.last[i] = b.at(at + 16 + i);
    return node;
}

// The zero-terminated text at a byte offset of the string data.
inline std::string TextAt(const ScriptCompilier& state, std::int32_t offset) {
    const std::vector<std::uint8_t>& b = state.StrBlock.Bytes();
    std::string text;
    for (std::size_t i = static_cast<std::size_t>(offset); b.at(i) != 0; ++i) text += static_cast<char>(b[i]);
    return text;
}

// The whole string data as one byte string, zero bytes included.
inline std::string AllStrings(const ScriptCompilier& state) {
    const auto& b = state.StrBlock.Bytes();
    return std::string(b.begin(), b.begin() + state.LengthIntoStrings);
}

}  // namespace xsc::testing

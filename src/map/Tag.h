#pragma once
// One tag index entry in memory. Class codes and names are raw bytes: any byte value, 0xFF
// included, passes through unchanged. Set once by the load, never changed afterwards.

#include <cstdint>
#include <string>

namespace xsc {

struct Tag {
    std::string Class1;       // first class code in reading order (stored bytes reversed)
    std::string Class2;       // second class code, reversed the same way
    std::string Class3;       // third class code, reversed the same way
    std::int32_t ident = 0;   // the identity, read unsigned and kept with the same bit pattern
    std::string Name;         // the name's bytes before its zero byte
    std::int32_t NameOffset = 0;  // file offset of the name: name address - Magic
    std::int32_t Offset = 0;      // file offset of the tag's data: data address - Magic
};

}  // namespace xsc

// Loading maps, rendered and compared with the golden file golden/HaloPcMap.txt (XSC_UPDATE_GOLDEN=1
// rewrites it from what the test renders now): a header code in any letter case, raw class codes
// and names, a negative Magic, the lookups where later duplicates win, loads that replace
// everything and a cancel that forgets only the file; and the message of every refused map, which
// leaves the loaded map exactly as it was. The alternate header is loaded by MapGenerator_test.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

using test::Bytes;
using test::HandMap;
using test::HandTag;

// Printable ASCII as is, any other byte as \xNN.
std::string Escaped(std::string_view bytes) {
    std::string out;
    char hex[8];
    for (const unsigned char c : bytes) {
        std::snprintf(hex, sizeof hex, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02x", c);
        out += hex;
    }
    return out;
}

std::string Render(const HaloPcMap& m) {
    std::ostringstream out;
    out << (m.f ? m.f->filename().string() : "no file") << ", " << m.LoadedLength << " bytes: header \""
        << Escaped(m.HeaderCode) << "\" (daeh " << m.HasDaehHeader() << "), index " << Hex(m.indexOffset) << ", MapMagic "
        << Hex(m.MapMagic) << ", entries " << Hex(m.tagOffset) << ", Magic " << Hex(m.Magic) << ", " << m.TagCount << " tags\n";
    for (std::size_t i = 0; i < m.TagCache.size(); ++i) {
        const Tag& t = *m.TagCache[i];
        out << "  " << i << (m.TagCache[i] == m.Scenario ? " (scenario) " : " ") << Escaped(t.Class1) << " "
            << Escaped(t.Class2) << " " << Escaped(t.Class3) << " " << Hex(static_cast<std::uint32_t>(t.ident)) << " \""
            << Escaped(t.Name) << "\" at " << Hex(t.NameOffset) << ", data at " << Hex(t.Offset) << "\n";
    }
    for (const auto& [name, i] : std::map(m.TagByName.begin(), m.TagByName.end())) out << "  " << Escaped(name) << " -> " << i << "\n";
    for (const auto& [ident, i] : std::map(m.TagsByIdent.begin(), m.TagsByIdent.end())) {
        out << "  " << Hex(static_cast<std::uint32_t>(ident)) << " -> " << i << "\n";
    }
    return out.str();
}

HandMap ThreeTags() {
    HandMap m;
    m.tags = {HandTag{"rncsrncsrncs", 0xE1740000, "levels\\a10\\a10", -1, 0x40440100},
              HandTag{"mtibmtibmtib", 0xE1750001, "ui\\bitmap", -1, 0x40440200},
              HandTag{"paewejboejbo", 0xE1760002, "weapons\\pistol", -1, 0x40440300}};
    return m;
}

// One map object loads each map in turn, then a cancel; then damaged maps, each refused.
TEST(HaloPcMap, LoadsAndRefusalsMatchTheGoldenFile) {
    test::TempDir dir;
    HandMap daeh = ThreeTags();
    daeh.headerCode = "DaEh";  // any letter case
    daeh.indexOffset = 0x700;
    HandMap raw = ThreeTags();  // raw class bytes, a name that is not UTF-8, an empty one, negative Magic
    raw.tags[1].storedClasses = std::string("\xFF\xFF\xFF\xFF", 4) + std::string("\x01\x02\x03\x80", 4) + "abcd";
    raw.tags[1].name = "\xC3\x28\xFF";
    raw.tags[2].name = "";
    raw.mapMagic = 0x10;
    raw.tags[2].dataAddress = static_cast<std::uint32_t>(0x900 + 0x10 - 0x828);
    HandMap duplicates = ThreeTags();  // tag 2 has tag 1's classes and name and tag 0's ident
    duplicates.tags[2].storedClasses = duplicates.tags[1].storedClasses;
    duplicates.tags[2].name = duplicates.tags[1].name;
    duplicates.tags[2].ident = duplicates.tags[0].ident;
    HandMap one;
    one.indexOffset = 0x600;
    one.tags = {HandTag{"rncsrncsrncs", 7, "other", -1, 0}};

    HaloPcMap map;
    std::string rendered;
    for (const auto& [m, name] : {std::pair{daeh, "daeh.map"}, {raw, "raw.map"}, {duplicates, "duplicates.map"}, {one, "one.map"}}) {
        test::WriteBytes(dir / name, test::BuildHandMap(m));
        map.LoadMap(dir / name);
        rendered += Render(map);
    }
    map.LoadMap(std::nullopt);
    const std::string loaded = Render(map);
    rendered += loaded;

    // Each: a 32-bit value put at an offset of the three-tag map, or (at 0) the file cut to a length.
    const std::pair<std::size_t, std::uint32_t> damages[] = {
        {0x10, 0x7FFFFFF0}, {0x10, 0xFFFFFFF0},               // the index offset
        {0x80C, 0}, {0x80C, 0xFFFFFFFF}, {0x80C, 0x7FFFFFFF},  // TagCount
        {0x838, 0x7FFFFFFF},                                   // tag 0's name address
        {0x858, 0x8FE + static_cast<std::uint32_t>(test::HandMagic(ThreeTags()))},  // tag 1's: no zero byte behind
        {0, 3}, {0, 0x12}};
    for (const auto& [at, value] : damages) {
        Bytes bytes = test::BuildHandMap(ThreeTags());
        at == 0 ? bytes.resize(value) : test::Put32(bytes, at, value);
        test::WriteBytes(dir / "bad.map", bytes);
        try {
            map.LoadMap(dir / "bad.map");
            rendered += "loaded\n";
        } catch (const Error& e) {
            rendered += std::string(e.what()) + "\n";
        }
        EXPECT_EQ(Render(map), loaded);
    }
    test::ExpectGolden("map/golden/HaloPcMap.txt", rendered);
}

}  // namespace
}  // namespace xsc

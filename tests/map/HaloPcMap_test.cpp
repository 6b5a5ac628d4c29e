// Loading maps, rendered and compared with golden files (golden/*.txt; XSC_UPDATE_GOLDEN=1
// rewrites them from what the test renders now): both header paths, raw class codes and names,
// a negative Magic, the lookups where later duplicates win, loads that replace everything and a
// cancel that forgets only the file; and the message of every refused map, which leaves the
// loaded map exactly as it was.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
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

void ExpectGolden(const std::string& name, const std::string& rendered) {
    const auto path = std::filesystem::path(__FILE__).parent_path() / "golden" / name;
    if (std::getenv("XSC_UPDATE_GOLDEN") != nullptr) test::WriteText(path, rendered);
    const Bytes golden = test::ReadBytes(path);
    EXPECT_EQ(rendered, std::string(golden.begin(), golden.end())) << path;
}

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

class HaloPcMapTest : public ::testing::Test {
protected:
    std::filesystem::path Write(const HandMap& m, const std::string& name) {
        test::WriteBytes(dir / name, test::BuildHandMap(m));
        return dir / name;
    }
    test::TempDir dir;
};

// One map object loads each map in turn, then a cancel.
TEST_F(HaloPcMapTest, LoadedMapsMatchTheGoldenFile) {
    HandMap daeh = ThreeTags();
    daeh.headerCode = "DaEh";  // any letter case
    daeh.indexOffset = 0x700;
    HandMap alternate = daeh;
    alternate.headerCode = "head";
    alternate.alternateHeader = true;
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
    for (const auto& [m, name] : {std::pair{daeh, "daeh.map"}, {alternate, "alternate.map"}, {raw, "raw.map"},
                                  {duplicates, "duplicates.map"}, {one, "one.map"}}) {
        map.LoadMap(Write(m, name));
        rendered += Render(map);
    }
    map.LoadMap(std::nullopt);
    rendered += Render(map);
    ExpectGolden("loaded_maps.txt", rendered);
}

TEST_F(HaloPcMapTest, RefusedMapsSayWhyAndLeaveTheLoadedMapAlone) {
    using Damage = std::function<void(Bytes&)>;
    const Damage cases[] = {
        [](Bytes& b) { test::Put32(b, 0x10, 0x7FFFFFF0); },  // the index offset
        [](Bytes& b) { test::Put32(b, 0x10, 0xFFFFFFF0); },
        [](Bytes& b) { test::Put32(b, 0x80C, 0); },  // TagCount
        [](Bytes& b) { test::Put32(b, 0x80C, 0xFFFFFFFF); },
        [](Bytes& b) { test::Put32(b, 0x80C, 0x7FFFFFFF); },
        [](Bytes& b) { test::Put32(b, 0x838, 0x7FFFFFFF); },  // tag 0's name address
        [](Bytes& b) {  // tag 1's name: the last two bytes of the file
            test::Put32(b, 0x858, static_cast<std::uint32_t>(b.size() - 2 + test::HandMagic(ThreeTags())));
            b[b.size() - 2] = 'x';
            b[b.size() - 1] = 'y';
        },
        [](Bytes& b) { b.resize(3); },  // cut in the header
        [](Bytes& b) { b.resize(0x12); },
    };
    HaloPcMap map;
    map.LoadMap(Write(ThreeTags(), "good.map"));
    const std::string good = Render(map);
    std::string rendered;
    for (const Damage& damage : cases) {
        Bytes bytes = test::BuildHandMap(ThreeTags());
        damage(bytes);
        test::WriteBytes(dir / "bad.map", bytes);
        try {
            map.LoadMap(dir / "bad.map");
            rendered += "loaded\n";
        } catch (const Error& e) {
            rendered += std::string(e.what()) + "\n";
        }
        EXPECT_EQ(Render(map), good);
    }
    ExpectGolden("refused_maps.txt", rendered);
}

}  // namespace
}  // namespace xsc

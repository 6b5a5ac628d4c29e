// The decompile writes the names the stored values designate: the names as compiled, or, in a map
// compiled before names were looked up (text and 0), the name the value designates with a comment
// that gives the stored text. Golden file: names/golden/older-map.expected.

#include <gtest/gtest.h>

#include "compile/DecompileSource.h"
#include "map/HaloPcMap.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "scriptdata/ReadScriptData.h"
#include "support/CompileFixture.h"
#include "xml/Decompile.h"

namespace xsc {
namespace {

constexpr const char* kScript = "(script startup s (camera_set point_2 400) (ai_place enc_wave_2) (ai_place enc_wave_1))";
constexpr int kPointSlot = 6, kWave2Slot = 10, kWave1Slot = 13;

struct Decompiled {
    std::string xml, source;
};

Decompiled DecompileWithNames(const std::filesystem::path& path) {
    HaloPcMap map;
    map.LoadMap(path);
    const MapNames names = MapNames::Read(map);
    const NameResolver resolver(names);
    const CompiledScriptData data = ReadScriptData(map);
    return {Decompile(data, &resolver), DecompileToSource(data, engine::EngineBuild::Custom, &resolver)};
}

// Compiling a decompiled script into the map it came from leaves the map as it is.
TEST(DesignatedNames, TheNamesAsCompiledComeBack) {
    test::TempDir dir;
    const test::Compiled compiled = test::CompileInto(dir, test::NamedMap(3), kScript);
    const Decompiled back = DecompileWithNames(dir / "level.map");
    EXPECT_NE(back.source.find("(camera_set point_2 400)"), std::string::npos) << back.source;
    for (const std::string& script : {back.xml, back.source}) {
        test::TempDir again;
        EXPECT_EQ(test::CompileInto(again, test::NamedMap(3), script).after, compiled.after);
    }
}

// An older compile stored point_2 and enc_wave_2 with 0: the game uses uicam and enc_wave_1.
TEST(DesignatedNames, AnOlderMapGetsTheNamesItsValuesDesignate) {
    test::TempDir dir;
    const test::Compiled compiled = test::CompileInto(dir, test::NamedMap(3), kScript);
    test::Bytes older = compiled.after;
    for (const int slot : {kPointSlot, kWave2Slot}) {
        test::Put32(older, static_cast<std::size_t>(compiled.layout.nodeDataOffset) + 0x38 + 20 * slot + 16, 0);
    }
    ASSERT_EQ(test::NodeAt(compiled.after, compiled.layout, kWave2Slot).low, 1);
    ASSERT_EQ(test::NodeAt(older, compiled.layout, kWave1Slot).low, 0);  // enc_wave_1 is 0 already
    test::WriteBytes(dir / "level.map", older);
    const Decompiled back = DecompileWithNames(dir / "level.map");
    test::ExpectGolden("names/golden/older-map.expected", back.xml + "\n" + back.source);

    // What the decompile wrote compiles into the older map to the values it held, with the names.
    for (const std::string& script : {back.xml, back.source}) {
        HaloPcMap map;
        test::WriteBytes(dir / "level.map", older);
        map.LoadMap(dir / "level.map");
        ScriptCompilier state;
        BuildScriptData(map, test::ScriptDocument(script), state);
        const test::Bytes again = test::ReadBytes(dir / "level.map");
        EXPECT_EQ(test::NodeAt(again, compiled.layout, kPointSlot).low, 0);
        EXPECT_EQ(test::NodeAt(again, compiled.layout, kWave2Slot).low, 0);
    }
}

}  // namespace
}  // namespace xsc

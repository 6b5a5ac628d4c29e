// Scripts laid out by another compiler (the generator's official layout: free slots, shared
// strings, texts of calls and numbers in a zero tail, the root begin after its body or none,
// globals with initial values, script calls, engine and scenario global reads, block and tag
// values): both languages decompile them into documents that build the same trees up to layout;
// the source round-trips through a fresh map of the same names to the same text; damaged data is
// refused with an error that names the record and slot.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "FuzzEntries.h"
#include "common/DecodedScripts.h"
#include "compile/BuildPhase.h"
#include "compile/DecompileSource.h"
#include "map/HaloPcMap.h"
#include "mapgen/OfficialScripts.h"
#include "names/DesignatedNames.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/ScriptCompilier.h"
#include "support/CompileFixture.h"
#include "xml/Decompile.h"

namespace xsc {
namespace {

constexpr auto kCustom = engine::EngineBuild::Custom;

mapgen::MapOptions OfficialMap(std::uint64_t seed, std::int32_t scripts) {
    mapgen::MapOptions o = test::NamedMap(seed);
    o.slotCapacity = 1200;
    o.officialScripts = scripts;
    return o;
}

struct LoadedMap {
    HaloPcMap map;
    CompiledScriptData data;
    MapNames names;
};

std::unique_ptr<LoadedMap> Load(const std::filesystem::path& path) {
    auto loaded = std::make_unique<LoadedMap>();
    loaded->map.LoadMap(path);
    loaded->data = ReadScriptData(loaded->map);
    loaded->names = MapNames::Read(loaded->map);
    return loaded;
}

// The map's trees with values read as the names they designate, as a decompile reads them.
DecodedScriptData Designated(const CompiledScriptData& data, const NameResolver& names) {
    DecodedScriptData decoded = DecodeScriptData(data);
    DesignateNames(decoded, names);
    return decoded;
}

DecodedScriptData Built(const XmlDocument& document) {
    ScriptCompilier state;
    const BuiltScripts built = BuildPhase(state, document);
    return DecodeScriptData(BuiltScriptData(state, built));
}

TEST(AnyLayoutDecode, BothLanguagesBuildTheMapsTreesBack) {
    bool withoutBegin = false;
    for (const std::uint64_t seed : {1, 2, 3, 4}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const test::TempDir dir;
        mapgen::WriteMap(dir / "official.map", OfficialMap(seed, 7));
        const auto loaded = Load(dir / "official.map");
        const NameResolver resolver(loaded->names);
        const DecodedScriptData map = Designated(loaded->data, resolver);
        ASSERT_EQ(map.layout, ScriptLayout::Other);
        ASSERT_EQ(map.scripts.size(), 7u);
        ASSERT_EQ(map.globals.size(), 4u);
        for (std::size_t i = 0; i < loaded->data.ScriptCount(); ++i) {
            const std::uint32_t root = loaded->data.Record(i).root;
            withoutBegin |= loaded->data.Node(static_cast<std::int32_t>(root & 0xFFFF)).engine != 0;
        }

        const std::string xml = Decompile(loaded->data, &resolver);
        EXPECT_EQ(robust::TreeDifference(map, Built(XmlDocument::LoadXml(xml))), std::nullopt) << xml;
        const std::string source = DecompileToSource(loaded->data, kCustom, &resolver);
        EXPECT_EQ(robust::TreeDifference(map, Built(test::ScriptDocument(source))), std::nullopt) << source;
        EXPECT_NE(source.find("(global short g_count_1 (+ g_count_0 2))"), std::string::npos) << source;
    }
    EXPECT_TRUE(withoutBegin) << "no seed gave a root without begin";
}

TEST(AnyLayoutDecode, SourceRoundTripsThroughAFreshMapOfTheSameNames) {
    for (const std::uint64_t seed : {11, 12, 13, 14, 15}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const test::TempDir official, fresh;
        mapgen::WriteMap(official / "official.map", OfficialMap(seed, 9));
        const auto loaded = Load(official / "official.map");
        const NameResolver resolver(loaded->names);
        const std::string first = DecompileToSource(loaded->data, kCustom, &resolver);

        mapgen::MapOptions freshOptions = OfficialMap(seed, 0);
        const test::Compiled compiled = test::CompileInto(fresh, freshOptions, first);
        const auto again = Load(fresh / "level.map");
        ASSERT_EQ(DecodeScriptData(again->data).layout, ScriptLayout::Xsc);
        const NameResolver againNames(again->names);
        EXPECT_EQ(DecompileToSource(again->data, kCustom, &againNames), first);
        EXPECT_EQ(robust::TreeDifference(Designated(loaded->data, resolver), Designated(again->data, againNames)), std::nullopt);
    }
}

// The official header counts the slots in use (xsc's, that number - 1): scripts that fill the
// node data to its last slot read whole.
TEST(AnyLayoutDecode, NodeDataFullToTheLastSlot) {
    const test::TempDir dir;
    mapgen::MapOptions options = OfficialMap(31, 3);
    const mapgen::MapLayout roomy = mapgen::WriteMap(dir / "roomy.map", options);
    const test::Bytes bytes = test::ReadBytes(dir / "roomy.map");
    options.slotCapacity = test::Get16(bytes, static_cast<std::size_t>(roomy.nodeDataOffset + 0x2E));
    mapgen::WriteMap(dir / "full.map", options);
    const auto full = Load(dir / "full.map");
    const auto reference = Load(dir / "roomy.map");
    EXPECT_EQ(full->data.slotCount, options.slotCapacity);
    const NameResolver names(full->names);
    EXPECT_EQ(DecompileToSource(full->data, kCustom, &names), DecompileToSource(reference->data, kCustom, &names));
}

// Another compiler's scripts may take more slots than xsc's own layout numbers in one build
// (7,309): the source's verification builds them in pieces.
TEST(AnyLayoutDecode, MoreSlotsThanXscsLayoutNumbers) {
    const test::TempDir dir;
    mapgen::MapOptions options = OfficialMap(41, 300);
    options.slotCapacity = 19001;
    mapgen::WriteMap(dir / "big.map", options);
    const auto loaded = Load(dir / "big.map");
    ASSERT_GT(loaded->data.slotCount, 7309 + 2000);
    const NameResolver names(loaded->names);
    const std::string source = DecompileToSource(loaded->data, kCustom, &names);
    std::size_t scripts = 0;
    for (std::size_t at = 0; (at = source.find("\n(script ", at)) != std::string::npos; ++at) ++scripts;
    EXPECT_EQ(scripts, 300u);
}

// Where other compilers choose otherwise than xsc, and the game reads the same: a call's type (the
// official compiler gives a statement void), the bits of a short or boolean beyond the ones the
// type uses, a string value's field (never read). The source decompiles to the same text; in xsc's
// own layout the same change of a call's type is refused.
TEST(AnyLayoutDecode, OtherCompilersChoicesAreReadUpToLayout) {
    const test::TempDir official, fresh;
    mapgen::MapOptions options = OfficialMap(21, 0);
    options.officialSource = "(global short g_count 3)\n(global boolean g_done true)\n(script static void helper (print \"hi\"))\n"
                             "(script startup main (sleep g_count) (helper))\n";
    mapgen::WriteMap(official / "official.map", options);
    const auto loaded = Load(official / "official.map");
    const NameResolver resolver(loaded->names);
    const std::string text = DecompileToSource(loaded->data, kCustom, &resolver);
    const test::Compiled compiled = test::CompileInto(fresh, OfficialMap(21, 0), text);
    const auto xsc = Load(fresh / "level.map");
    const NameResolver xscNames(xsc->names);

    const auto changed = [](const CompiledScriptData& data, bool values) {
        CompiledScriptData c = data;
        const DecodedScriptData d = DecodeScriptData(data);
        const auto field = [&](std::int32_t slot, std::int64_t at) { return &c.slots[static_cast<std::size_t>(20 * slot + at)]; };
        EncodeFixed16(field(d.scripts.at(1).walked.body.at(0).slot, 4), 5);  // (sleep ...): void -> boolean
        if (values) {
            EncodeFixed16(field(d.globals.at(0).walked.body.at(0).slot, 18), 0);       // 3: 00 00 in the high half
            EncodeFixed32(field(d.globals.at(1).walked.body.at(0).slot, 16), 1);       // true: 01 00 00 00
            EncodeFixed32(field(d.scripts.at(0).walked.body.at(1).slot, 16), 0xFFFFFFFF);  // "hi"
        }
        return c;
    };
    EXPECT_EQ(DecompileToSource(changed(loaded->data, true), kCustom, &resolver), text);
    try {
        DecompileToSource(changed(xsc->data, false), kCustom, &xscNames);
        ADD_FAILURE() << "a call of another type than xsc writes was accepted in xsc's own layout";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("its value type is 5 (boolean)"), std::string::npos) << e.what();
    }
}

// Damage to one generated map's script data, in memory: each row changes the data and names the
// error it must give.
TEST(AnyLayoutDecode, DamagedDataIsRefusedAtItsSlot) {
    const test::TempDir dir;
    mapgen::WriteMap(dir / "official.map", OfficialMap(5, 4));
    const auto loaded = Load(dir / "official.map");
    const CompiledScriptData& good = loaded->data;
    const std::uint32_t root = good.Record(1).root;
    const std::int32_t rootSlot = static_cast<std::int32_t>(root & 0xFFFF);
    const std::uint32_t child = good.Node(rootSlot).childOrValue;  // a begin root: its name node
    ASSERT_EQ(good.Node(rootSlot).expType, 8);
    const auto at = [](std::int32_t slot, std::int64_t field) { return static_cast<std::size_t>(20 * slot + field); };

    struct Row {
        const char* what;
        std::function<void(CompiledScriptData&)> damage;
        std::string message;
    };
    const std::string script1 = "script \"script_1\" (record 1)";
    const Row rows[] = {
        {"a salt that differs", [&](CompiledScriptData& d) { EncodeFixed16(&d.slots[at(rootSlot, 0)], 0x1234); },
         script1 + ": its root names slot " + std::to_string(rootSlot) + " with salt"},
        {"a free slot", [&](CompiledScriptData& d) { EncodeFixed16(&d.slots[at(rootSlot, 0)], 0); },
         script1 + ": its root names slot " + std::to_string(rootSlot) + ", which is free (salt 0)"},
        {"a cycle", [&](CompiledScriptData& d) { EncodeFixed32(&d.slots[at(static_cast<std::int32_t>(child & 0xFFFF), 8)], root); },
         "which the walk has already reached: a cycle"},
        {"a pointer out of range", [&](CompiledScriptData& d) { EncodeFixed32(&d.slots[at(rootSlot, 16)], 0xE3730000u | 0xFFF0u); },
         script1 + ", slot " + std::to_string(rootSlot) + ": its function name names slot 65520, but only slots 0 to "},
        {"a string offset outside", [&](CompiledScriptData& d) { EncodeFixed32(&d.slots[at(static_cast<std::int32_t>(child & 0xFFFF), 12)], 0x7FFFFFF0); },
         "its string offset 2147483632 lies outside the string data"},
        {"a text without its zero byte",
         [&](CompiledScriptData& d) {
             d.strings.back() = 'x';
             EncodeFixed32(&d.slots[at(static_cast<std::int32_t>(child & 0xFFFF), 12)], static_cast<std::uint32_t>(d.strings.size() - 1));
         },
         "runs to the end of the string data without a zero byte"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CompiledScriptData damaged = good;
        row.damage(damaged);
        for (const bool source : {false, true}) {
            try {
                source ? DecompileToSource(damaged, kCustom) : Decompile(damaged);
                ADD_FAILURE() << "no error";
            } catch (const Error& e) {
                EXPECT_NE(std::string(e.what()).find(row.message), std::string::npos) << e.what();
            }
        }
    }
}

}  // namespace
}  // namespace xsc

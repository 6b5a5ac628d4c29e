// The tables of names: a malformed row is refused with its table and line, and the built-in tables
// hold the facts the map's names are read by (the genuine camera points block among them).

#include <gtest/gtest.h>

#include "engine/NameTables.h"
#include "runtime/Error.h"

namespace xsc::engine {
namespace {

NameTableTexts Empty() {
    return {"code\tname\tstorage\ttarget\tmeaningful_bits\tnone_value\tother_bits\tevidence\tnotes\n",
            "block\tparent\tfield_offset_hex\tfield_offset\telement_size\tname_offset\tname_width\tvalue_type_codes\tcross_checked\tnotes\n",
            "block\tfield_offset_hex\tfield_offset\telement_size\tobject_name_offset\tobject_name_width\tpalette_index_offset\t"
            "palette_index_width\tpalette_block\tpalette_offset_hex\tpalette_offset\tpalette_element_size\tpalette_dependency_offset\t"
            "object_type_code\tobject_type\ttag_class\tvalue_type_codes\n",
            "code\tname\ttag_class\tclass_name\tconcrete_classes\tnotes\n",
            "code\tvalue_type\tindex\tword\tevidence\tnotes\n"};
}

std::string Refusal(const NameTableTexts& texts) {
    try {
        NameTables::Parse(texts);
    } catch (const Error& e) {
        return e.what();
    }
    return "accepted";
}

TEST(NameTables, MalformedRowsAreRefusedWithTheirTableAndLine) {
    NameTableTexts storage = Empty(), none = Empty(), tagClass = Empty(), codes = Empty();
    storage.valueEncoding += "11\ttrigger_volume\tindex\t-\t-\t-\t-\tnone\t\n";
    none.valueEncoding += "11\ttrigger_volume\tblock_index\t-\t-\t0xZZ\t-\tnone\t\n";
    tagClass.tagTypes += "24\tsound\tsnd\tsound\t\t\n";
    codes.scenarioBlocks += "b\tscnr\t0x1\t1\t4\t0\t32\t11 x\tyes\t\n";
    EXPECT_EQ(Refusal(storage), "engine table value-encoding.tsv, line 2: unknown storage \"index\"");
    EXPECT_EQ(Refusal(none), "engine table value-encoding.tsv, line 2: \"0xZZ\" is not a number");
    EXPECT_EQ(Refusal(tagClass), "engine table tag-types.tsv, line 2: \"snd\" is not a four-character class code");
    EXPECT_EQ(Refusal(codes), "engine table scenario-blocks.tsv, line 2: \"x\" is not a number");
    EXPECT_EQ(Refusal(Empty()), "accepted");
}

TEST(NameTables, TheBuiltInTablesHoldWhatNamesAreReadBy) {
    const NameTables& t = NameTables::BuiltIn();
    const NamedBlockLayout* points = t.BlockOfType(13);
    ASSERT_NE(points, nullptr);
    EXPECT_EQ(points->block, "cutscene_camera_points");
    EXPECT_EQ(points->fieldOffset, 0x4F0);
    EXPECT_EQ(points->elementSize, 104);
    EXPECT_EQ(points->nameOffset, 4);
    EXPECT_EQ(t.BlockOfType(21)->block, "hud_globals_waypoint_arrows");
    EXPECT_EQ(t.Encoding(17)->storage, Storage::AiIndex32);
    EXPECT_EQ(t.Encoding(24)->none, 0xFFFFFFFFu);
    EXPECT_FALSE(t.Encoding(32)->none);
    EXPECT_EQ(t.Encoding(19)->evidence, "one_toolkit");
    EXPECT_EQ(t.TagType(31)->concreteClasses.size(), 12u);
    EXPECT_EQ(t.Words(33).size(), 10u);
    EXPECT_EQ(t.SpawnBlocks().size(), 9u);
    EXPECT_EQ(t.NamedScenarioBlocks().size(), 11u);
}

}  // namespace
}  // namespace xsc::engine

// The tag layout table compiled into the program: it loads, it agrees with itself, and a table
// that does not is refused with the line at fault.

#include <gtest/gtest.h>

#include "map/TagLayouts.h"
#include "runtime/Error.h"

namespace xsc {
namespace {

TEST(TagLayouts, TheBuiltinTableLoadsAndIsConsistent) {
    const TagLayouts& t = TagLayouts::Builtin();
    EXPECT_EQ(t.Classes().size(), 83u);
    EXPECT_EQ(t.StructCount(), 347u);
    std::size_t walkable = 0;
    for (const auto& [code, c] : t.Classes()) {
        ASSERT_NE(c.root, nullptr) << code;
        if (c.Unwalkable().empty()) ++walkable;
        for (const LayoutField& f : c.root->fields) EXPECT_LE(f.offset + f.Size(), c.root->size) << code << " " << f.name;
    }
    EXPECT_EQ(walkable, 83u - 5 - 2 - 1 - 1);  // parent classes, no definition, console, BSP

    // The fields a compile's walk lives by, as the game lays them out.
    const LayoutClass& weapon = *t.Class("weap");
    EXPECT_EQ(weapon.root->size, 1288);
    const LayoutField& triggers = weapon.root->fields.back();
    EXPECT_EQ(triggers.name, "triggers");
    EXPECT_EQ(triggers.offset, 0x4FC);
    EXPECT_EQ(triggers.max, 2);
    EXPECT_EQ(triggers.element->size, 276);
    const LayoutStruct& sound = *t.Class("snd!")->root;
    const auto pitch = std::find_if(sound.fields.begin(), sound.fields.end(), [](const LayoutField& f) { return f.name == "pitch_ranges"; });
    ASSERT_NE(pitch, sound.fields.end());
    EXPECT_TRUE(pitch->flags & kIndexZeroed);
    const LayoutStruct& scenario = *t.Class("scnr")->root;
    const auto bsps = std::find_if(scenario.fields.begin(), scenario.fields.end(),
                                   [](const LayoutField& f) { return f.name == "structure_bsps"; });
    ASSERT_NE(bsps, scenario.fields.end());
    EXPECT_EQ(bsps->offset, 0x5A4);
    EXPECT_EQ(bsps->element->fields.front().name, "bsp_start");
    EXPECT_TRUE(bsps->element->fields.front().flags & kNotAddress);
    EXPECT_EQ(t.Class("bitm")->root->fields.front().flags, kStripped);
    EXPECT_NE(t.Class("mode")->Unwalkable(), "");
    EXPECT_EQ(t.Class("zzzz"), nullptr);
}

TEST(TagLayouts, ATableThatDisagreesWithItselfIsRefusedWithItsLine) {
    const std::string head = "# kind\towner\toffset\tname\ttarget\tsize\tmax\tflags\tnote\n"
                             "class\tabcd\t-\tthing\tthing\t32\t-\t-\t-\n"
                             "struct\tthing\t-\t-\t-\t32\t-\t-\t-\n"
                             "struct\tpart\t-\t-\t-\t8\t-\t-\t-\n";
    const struct {
        std::string row;
        std::string message;
    } cases[] = {
        {"block\tthing\t0x0\tparts\tpart\t12\t4\t-\t-", "line 5: the element size differs from struct part's"},
        {"block\tthing\t0x0\tparts\tnone\t8\t4\t-\t-", "line 5: no struct none"},
        {"data\tthing\t0x10\tbytes\t-\t16\t-\t-\t-", "line 5: a data field is 20 bytes, not 16"},
        {"tagref\tthing\t0x18\tref\t*\t16\t-\t-\t-", "field ref of thing at 0x18 overlaps another or passes the struct's 32 bytes"},
        {"tagref\tthing\t0x0\tref\t*\t16\t-\tshiny\t-", "line 5: unknown flag \"shiny\""},
        {"tagref\tthing\t0x0\tref\t*\t16", "line 5: 6 cells, 9 expected"},
    };
    for (const auto& c : cases) {
        try {
            TagLayouts::Parse(head + c.row + "\n");
            ADD_FAILURE() << c.row;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
    const TagLayouts ok = TagLayouts::Parse(head + "block\tthing\t0x4\tparts\tpart\t8\t4\t-\t-\n");
    EXPECT_EQ(ok.Class("abcd")->root->fields.front().element, ok.Struct("part"));
}

}  // namespace
}  // namespace xsc

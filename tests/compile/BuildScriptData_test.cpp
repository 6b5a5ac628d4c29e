// Random scripts compiled into random generated maps: the whole file must equal the reference
// of the write phase (which also holds the growth, the node data header and the records), and
// the node records, which the reference takes from the build, must hold together (chains,
// pointers, offsets).

#include <gtest/gtest.h>

#include "CompileOracle.h"
#include "runtime/XmlDocument.h"
#include "support/CompileFixture.h"
#include "support/RandomScript.h"

namespace xsc {
namespace {

TEST(BuildScriptData, RandomScriptsMatchTheReferenceAndHoldTogether) {
    for (std::uint64_t seed = 1; seed <= 25; ++seed) {
        std::mt19937 rng(static_cast<unsigned>(seed));
        const test::RandomScript random = test::MakeRandomScript(rng);
        const std::string& xml = random.xml;
        const int scripts = random.scripts;

        mapgen::MapOptions options = test::NamedMap(seed);
        options.daehHeader = (seed % 3) != 0;
        options.mapMagic = (seed % 4 == 0) ? 0x200 : static_cast<std::int32_t>(0x40440000 + 8 * seed);
        test::TempDir dir;
        CompileOptions scan;
        scan.fixup = FixupMode::Scan;  // the reference's
        const test::Compiled c = test::CompileInto(dir, options, xml, scan);
        const auto& l = c.layout;
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + xml);

        ASSERT_EQ(c.summary.scripts, scripts);
        ASSERT_EQ(c.summary.slots, random.bodyNodes + 7 * scripts);
        const test::Bytes records = test::RecordsIn(c.after, l, c.summary.stringBytes, scripts);
        const robust::Verdict verdict =
            robust::JudgeCompiled(c.before, c.after, XmlDocument::LoadXml(xml), c.state, c.summary.growth);
        EXPECT_FALSE(verdict.Violated()) << verdict.message;

        const int slots = c.summary.slots;
        for (int s = 0; s < scripts; ++s) {
            const int root = test::Get16(records, 92 * static_cast<std::size_t>(s) + 0x24);
            ASSERT_LT(root + 2, slots);
            const test::Node call = test::NodeAt(c.after, l, root);
            EXPECT_EQ(call.expType, 8);
            EXPECT_EQ(call.identity, test::IdentityOf(root));
            EXPECT_EQ(test::NodeAt(c.after, l, root + 2).identity, 0);  // the trailing filler
        }
        // Every chain of real nodes ends in "no sibling" and names only real slots.
        for (int k = 0; k < slots; ++k) {
            const test::Node n = test::NodeAt(c.after, l, k);
            if (n.identity == 0) continue;  // filler
            EXPECT_EQ(n.identity, test::IdentityOf(k));
            // A node without text records where the next text would start: at most L, which
            // still lies inside the string data (its 1024 zero bytes follow).
            EXPECT_LE(n.stringOffset, static_cast<std::uint32_t>(c.summary.stringBytes)) << "slot " << k;
            int steps = 0;
            for (test::Node at = n; !(at.sibIndex == 0xFFFF && at.sibIdentity == 0xFFFF); ++steps) {
                ASSERT_LT(at.sibIndex, slots) << "slot " << k;
                ASSERT_EQ(at.sibIdentity, test::IdentityOf(at.sibIndex)) << "slot " << k;
                ASSERT_LT(steps, slots) << "sibling cycle from slot " << k;
                at = test::NodeAt(c.after, l, at.sibIndex);
                if (at.identity == 0) break;
            }
            if (n.expType == 8) {
                const test::Node name = test::NodeAt(c.after, l, n.low);
                EXPECT_EQ(name.expType, 9);
                EXPECT_EQ(name.identity, n.high);
                EXPECT_EQ(name.engine, n.engine);
                EXPECT_EQ(name.stringOffset, n.stringOffset);
            }
        }
    }
}

}  // namespace
}  // namespace xsc

// A small generated map damaged in every way its loader and its compile could trip on: cut to every
// length from 0 to its full size, and every 32-bit field they read set, one at a time, to values
// that break it (0, -1, the extremes of a signed 32-bit value, the file length and values just
// outside the file, as offsets and, for address fields, as addresses). Each map then loads and
// compiles to xsc::Error with the file unchanged, or to exactly the reference result. What the
// refusals say is checked by tests/map/HaloPcMap_test.cpp and tests/scriptdata/ScriptArrangement_test.cpp.

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "CompileOracle.h"
#include "FuzzEntries.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "support/TestFiles.h"

namespace xsc::robust {
namespace {

struct Field {
    std::string name;
    std::int64_t offset;
    bool address;       // holds offset + Magic rather than an offset or a count
    bool neverRefused;  // not read before the write phase: whatever it holds, the compile goes on
};

// Calls `check` with each damaged map, its name, and whether the load and the compile must accept
// it (empty: either may be right).
template <typename Check>
void ForEachDamagedMap(const Bytes& good, const mapgen::MapLayout& layout, bool daeh, Check check) {
    // Reading the script fields needs everything up to the slot count field in the node data;
    // the compile refuses any map cut short (its header gives the whole length).
    const std::int64_t length = static_cast<std::int64_t>(good.size());
    for (std::int64_t cut = 0; cut <= length; ++cut) {
        check("cut to " + std::to_string(cut), Bytes(good.begin(), good.begin() + cut),
              std::optional(cut >= layout.nodeDataOffset + 0x30), std::optional(cut == length));
    }
    // Every 32-bit field the loader and the compile read.
    const std::int64_t x = layout.scenarioOffset;
    std::vector<Field> fields = {
        {"index offset", daeh ? 0x10 : 0x5EC, false, false},
        {"MapMagic", layout.indexOffset, true, false},
        {"TagCount", layout.indexOffset + 0x0C, false, false},
        {"node data size", x + 0x474, false, false},
        {"node data address", x + 0x480, true, false},
        {"string data size", x + 0x488, false, false},
        {"string data address", x + 0x494, true, false},
        {"script count", x + 0x49C, false, true},
        {"script records address", x + 0x4A0, false, true},
        {"address behind the strings", x + 0x5A8, true, true},
        // 32 bits over the 16-bit slot count field and the real node count behind it.
        {"slot count field", layout.nodeDataOffset + 0x2E, false, true},
    };
    for (std::int64_t i = 0; i < layout.tagCount; ++i) {
        fields.push_back({"name address of tag " + std::to_string(i), layout.tagOffset + 32 * i + 0x10, true, false});
        fields.push_back({"data address of tag " + std::to_string(i), layout.tagOffset + 32 * i + 0x14, true, false});
    }
    for (const Field& field : fields) {
        for (const std::int64_t offset : {std::int64_t{0}, std::int64_t{-1}, std::int64_t{0x7FFFFFFF}, std::int64_t{INT32_MIN},
                                          length, length - 1, length - 3, length + 1, std::int64_t{-4}}) {
            for (int asAddress = 0; asAddress <= int{field.address}; ++asAddress) {
                const auto value = static_cast<std::uint32_t>(offset + asAddress * std::int64_t{layout.magic});
                Bytes bad = good;
                test::Put32(bad, static_cast<std::size_t>(field.offset), value);
                check(field.name + " = " + Hex(value), bad, std::optional<bool>(),
                      field.neverRefused ? std::optional(true) : std::optional<bool>());
            }
        }
    }
}

class DamagedMaps : public ::testing::TestWithParam<std::pair<const char*, mapgen::MapOptions>> {};

TEST_P(DamagedMaps, EachIsRefusedCleanlyOrGivesTheReferenceResult) {
    mapgen::MapLayout layout;
    const Bytes good = mapgen::GenerateMap(GetParam().second, &layout);
    ASSERT_LT(layout.stringDataEnd, static_cast<std::int64_t>(good.size()));
    const XmlDocument script = XmlDocument::LoadXml(kFixedScript);
    MemoryFile file;
    std::size_t refused = 0, runs = 0;
    ForEachDamagedMap(good, layout, GetParam().second.daehHeader,
                      [&](const std::string& what, const Bytes& bad, std::optional<bool> loads, std::optional<bool> compiles) {
        const Verdict load = CheckLoad(file, bad, BaselineMap());
        const Verdict compile = CheckCompile(file, bad, script);
        ASSERT_FALSE(load.Violated() || compile.Violated()) << what << ": " << load.message << compile.message;
        EXPECT_TRUE(!loads || *loads == (load.kind == Verdict::Kind::Accepted)) << what << ": " << load.message;
        EXPECT_TRUE(!compiles || *compiles == (compile.kind == Verdict::Kind::Accepted)) << what << ": " << compile.message;
        refused += compile.kind == Verdict::Kind::Refused;
        ++runs;
    });
    EXPECT_GT(refused, runs / 2);  // most of these maps are broken: the check is not vacuous
}

mapgen::MapOptions NegativeMagic() {
    mapgen::MapOptions o = TinyMap(11, true);
    o.mapMagic = 0x100;  // Magic = 0x100 - tagOffset < 0
    return o;
}

INSTANTIATE_TEST_SUITE_P(Maps, DamagedMaps,
                         ::testing::Values(std::pair{"DaehHeader", TinyMap(5, true)},
                                           std::pair{"AlternateHeader", TinyMap(6, false)},
                                           std::pair{"NegativeMagic", NegativeMagic()}),
                         [](const auto& info) { return std::string(info.param.first); });

}  // namespace
}  // namespace xsc::robust

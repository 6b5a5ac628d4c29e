// Every 32-bit field the loader and the compile read, set one at a time to values that break it:
// 0, -1, the extremes of a signed 32-bit value, the file length and values just outside the file
// (as offsets and, for address fields, as addresses). Each map then loads and compiles to
// xsc::Error with the file unchanged, or to exactly the reference result.

#include <gtest/gtest.h>

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

std::vector<Field> FieldsOf(const mapgen::MapLayout& layout, bool daeh) {
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
    return fields;
}

class CorruptedFields : public ::testing::TestWithParam<std::pair<const char*, mapgen::MapOptions>> {};

TEST_P(CorruptedFields, EachBadValueIsRefusedCleanlyOrCompilesCorrectly) {
    mapgen::MapLayout layout;
    const mapgen::MapOptions& options = GetParam().second;
    const Bytes good = mapgen::GenerateMap(options, &layout);
    const XmlDocument script = XmlDocument::LoadXml(kFixedScript);
    MemoryFile file;
    ASSERT_EQ(CheckCompile(file, good, script).kind, Verdict::Kind::Accepted);

    const std::int64_t length = static_cast<std::int64_t>(good.size());
    std::size_t refused = 0, runs = 0;
    for (const Field& field : FieldsOf(layout, options.daehHeader)) {
        for (const std::int64_t offset : {std::int64_t{0}, std::int64_t{-1}, std::int64_t{0x7FFFFFFF}, std::int64_t{INT32_MIN},
                                          length, length - 1, length - 3, length + 1, std::int64_t{-4}}) {
            for (int asAddress = 0; asAddress <= int{field.address}; ++asAddress) {
                const std::int64_t value = offset + asAddress * std::int64_t{layout.magic};
                Bytes bad = good;
                test::Put32(bad, static_cast<std::size_t>(field.offset), static_cast<std::uint32_t>(value));
                const std::string what = field.name + " = " + Hex(static_cast<std::uint32_t>(value));
                const Verdict load = CheckLoad(file, bad, BaselineMap());
                ASSERT_FALSE(load.Violated()) << what << ": " << load.message;
                const Verdict compile = CheckCompile(file, bad, script);
                ASSERT_FALSE(compile.Violated()) << what << ": " << compile.message;
                EXPECT_TRUE(!field.neverRefused || compile.kind == Verdict::Kind::Accepted) << what << ": " << compile.message;
                refused += compile.kind == Verdict::Kind::Refused;
                ++runs;
            }
        }
    }
    EXPECT_GT(refused, runs / 2);  // most of these values break the map: the check is not vacuous
}

mapgen::MapOptions NegativeMagic() {
    mapgen::MapOptions o = TinyMap(11, true);
    o.mapMagic = 0x100;  // Magic = 0x100 - tagOffset < 0
    return o;
}

INSTANTIATE_TEST_SUITE_P(Maps, CorruptedFields,
                         ::testing::Values(std::pair{"DaehHeader", TinyMap(5, true)},
                                           std::pair{"AlternateHeader", TinyMap(6, false)},
                                           std::pair{"NegativeMagic", NegativeMagic()}),
                         [](const auto& info) { return std::string(info.param.first); });

}  // namespace
}  // namespace xsc::robust

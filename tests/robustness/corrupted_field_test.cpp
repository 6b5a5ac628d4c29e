// Every 32-bit field the loader and the compile read, set one at a time to values that break
// it: 0, -1, the extremes of a signed 32-bit value, the file length and values just outside the
// file (as plain offsets and, for address fields, as addresses). Each map then loads and
// compiles to xsc::Error with the file unchanged, or to exactly the reference result.

#include <gtest/gtest.h>

#include <vector>

#include "CompileOracle.h"
#include "FuzzEntries.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"

namespace xsc::robust {
namespace {

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(v >> (8 * i));
}

struct Field {
    std::string name;
    std::size_t offset;
    bool address;       // holds an address (offset + Magic) rather than an offset or a count
    bool neverRefused;  // not read before the write phase: whatever it holds, the compile goes on
};

// The fields of a map laid out as `layout`.
std::vector<Field> FieldsOf(const mapgen::MapLayout& layout, bool daeh) {
    const auto x = static_cast<std::size_t>(layout.scenarioOffset);
    const auto index = static_cast<std::size_t>(layout.indexOffset);
    std::vector<Field> fields = {
        {"index offset", daeh ? 0x10u : 0x5ECu, false, false},
        {"MapMagic", index, true, false},
        {"TagCount", index + 0x0C, false, false},
        {"node data size", x + 0x474, false, false},
        {"node data address", x + 0x480, true, false},
        {"string data size", x + 0x488, false, false},
        {"string data address", x + 0x494, true, false},
        {"script count", x + 0x49C, false, true},
        {"script records address", x + 0x4A0, false, true},
        {"address behind the strings", x + 0x5A8, true, true},
        // 32 bits over the 16-bit slot count field and the real node count behind it.
        {"slot count field", static_cast<std::size_t>(layout.nodeDataOffset) + 0x2E, false, true},
    };
    for (int i = 0; i < layout.tagCount; ++i) {
        const std::size_t entry = static_cast<std::size_t>(layout.tagOffset) + 32 * static_cast<std::size_t>(i);
        fields.push_back({"name address of tag " + std::to_string(i), entry + 0x10, true, false});
        fields.push_back({"data address of tag " + std::to_string(i), entry + 0x14, true, false});
    }
    return fields;
}

std::vector<std::uint32_t> BadValues(const Field& field, std::int64_t length, std::int32_t magic) {
    std::vector<std::int64_t> offsets = {0, -1, 0x7FFFFFFF, INT32_MIN, length, length - 1, length - 3, length + 1, -4};
    std::vector<std::uint32_t> values;
    for (const std::int64_t v : offsets) {
        values.push_back(static_cast<std::uint32_t>(v));
        if (field.address) values.push_back(static_cast<std::uint32_t>(v + magic));
    }
    return values;
}

struct MapCase {
    const char* name;
    mapgen::MapOptions options;
};
void PrintTo(const MapCase& c, std::ostream* out) { *out << c.name; }

class CorruptedFields : public ::testing::TestWithParam<MapCase> {};

TEST_P(CorruptedFields, EachBadValueIsRefusedCleanlyOrCompilesCorrectly) {
    mapgen::MapLayout layout;
    const mapgen::MapOptions& options = GetParam().options;
    const Bytes good = mapgen::GenerateMap(options, &layout);
    const XmlDocument script = XmlDocument::LoadXml(kFixedScript);
    const LoadBaseline baseline;
    MemoryFile file;
    ASSERT_EQ(CheckCompile(file, good, script).kind, Verdict::Kind::Accepted);

    std::size_t refused = 0;
    std::size_t runs = 0;
    for (const Field& field : FieldsOf(layout, options.daehHeader)) {
        for (const std::uint32_t value : BadValues(field, static_cast<std::int64_t>(good.size()), layout.magic)) {
            Bytes bad = good;
            Put32(bad, field.offset, value);
            const std::string what = field.name + " = " + Hex(static_cast<std::int64_t>(value));
            const Verdict load = CheckLoad(file, bad, baseline.Map());
            ASSERT_FALSE(load.Violated()) << what << ": " << load.message;
            const Verdict compile = CheckCompile(file, bad, script);
            ASSERT_FALSE(compile.Violated()) << what << ": " << compile.message;
            if (field.neverRefused) {
                EXPECT_EQ(compile.kind, Verdict::Kind::Accepted) << what << ": " << compile.message;
            }
            refused += compile.kind == Verdict::Kind::Refused;
            ++runs;
        }
    }
    // Most of these values break the map; the check is not vacuous.
    EXPECT_GT(refused, runs / 2);
}

mapgen::MapOptions NegativeMagic() {
    mapgen::MapOptions o = TinyMap(11, true);
    o.mapMagic = 0x100;  // Magic = 0x100 - tagOffset < 0
    return o;
}

INSTANTIATE_TEST_SUITE_P(Maps, CorruptedFields,
                         ::testing::Values(MapCase{"DaehHeader", TinyMap(5, true)},
                                           MapCase{"AlternateHeader", TinyMap(6, false)},
                                           MapCase{"NegativeMagic", NegativeMagic()}),
                         [](const ::testing::TestParamInfo<MapCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace xsc::robust

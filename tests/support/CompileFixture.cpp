#include "support/CompileFixture.h"

#include "map/HaloPcMap.h"
#include "runtime/XmlDocument.h"

namespace xsc::test {

mapgen::MapOptions SmallMap(std::uint64_t seed) {
    mapgen::MapOptions o;
    o.seed = seed;
    o.headSize = 4096;
    o.tagCount = 8;
    o.slotCapacity = 200;
    o.tagDataSize = 64 * 1024;
    o.scenarioTailSize = 512;
    return o;
}

Compiled CompileInto(const TempDir& dir, const mapgen::MapOptions& options, const std::string& script,
                     const CompileOptions& compileOptions) {
    Compiled c;
    const auto path = dir / "level.map";
    c.layout = mapgen::WriteMap(path, options);
    c.before = ReadBytes(path);
    HaloPcMap map;
    map.LoadMap(path);
    const XmlDocument document = XmlDocument::LoadXml(script);
    c.summary = BuildScriptData(map, document, c.state, compileOptions);
    c.after = ReadBytes(compileOptions.output ? *compileOptions.output : path);
    return c;
}

Bytes ModelWrite(const Bytes& old, const mapgen::MapLayout& layout, const ScriptCompilier& state,
                 const Bytes& records, std::int32_t scripts) {
    const std::size_t x = static_cast<std::size_t>(layout.scenarioOffset);
    const std::size_t table = static_cast<std::size_t>(layout.stringDataOffset);
    const std::size_t p = table + 1024;
    const std::int32_t l = state.LengthIntoStrings;
    const std::int32_t pad = (4 - l % 4) % 4;
    const std::int32_t g = 92 * scripts + l + pad;
    const std::int32_t magic = layout.magic;
    const std::size_t node = static_cast<std::size_t>(layout.nodeDataOffset);

    Bytes b = old;
    Put32(b, x + 0x488, static_cast<std::uint32_t>(l + 1024));
    Put32(b, x + 0x49C, static_cast<std::uint32_t>(scripts));
    Put32(b, x + 0x4A0, static_cast<std::uint32_t>(static_cast<std::int64_t>(p) + l + pad + magic));
    const std::int32_t current = state.CurrentSyntaxNumber;
    const auto put16 = [&b](std::size_t at, std::int32_t v) {
        b.at(at) = static_cast<std::uint8_t>(v);
        b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
    };
    put16(node + 0x2E, current + 7309 - 1);
    put16(node + 0x30, state.RealSyn);
    put16(node + 0x32, current - 1);
    Put32(b, node + 0x34, 0);
    for (std::size_t i = 0; i < state.SyntaxBlock.Size(); ++i) b.at(node + 0x38 + i) = state.SyntaxBlock.Data()[i];

    Bytes grown(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(table));
    grown.insert(grown.end(), state.StrBlock.Data(), state.StrBlock.Data() + l);
    grown.insert(grown.end(), 1024, 0);
    grown.insert(grown.end(), static_cast<std::size_t>(pad), 0xFF);
    grown.insert(grown.end(), records.begin(), records.end());
    grown.insert(grown.end(), b.begin() + static_cast<std::ptrdiff_t>(p), b.end());
    Put32(grown, x + 0x5A8, Get32(grown, x + 0x5A8) + static_cast<std::uint32_t>(g));

    // The fix-up: index data addresses, then every word from tag 1's (load-time) data offset.
    const auto lower = static_cast<std::int32_t>(static_cast<std::uint32_t>(p) + static_cast<std::uint32_t>(magic));
    const std::int64_t upper = static_cast<std::int64_t>(grown.size()) + magic;
    auto fix = [&](std::size_t at) {
        const auto v = static_cast<std::int32_t>(Get32(grown, at));
        if (v >= lower && v < upper) Put32(grown, at, static_cast<std::uint32_t>(v) + static_cast<std::uint32_t>(g));
    };
    for (int i = 0; i < layout.tagCount; ++i) fix(static_cast<std::size_t>(layout.tagOffset) + 32 * i + 0x14);
    for (std::size_t at = static_cast<std::size_t>(layout.tagDataOffsets.at(1)); at + 4 <= grown.size(); at += 4) fix(at);
    return grown;
}

Bytes RecordsIn(const Bytes& after, const mapgen::MapLayout& layout, std::int32_t stringBytes, std::int32_t scripts) {
    const std::int32_t pad = (4 - stringBytes % 4) % 4;
    const std::size_t at = static_cast<std::size_t>(layout.stringDataOffset + stringBytes + 1024 + pad);
    return Bytes(after.begin() + static_cast<std::ptrdiff_t>(at),
                 after.begin() + static_cast<std::ptrdiff_t>(at + 92 * static_cast<std::size_t>(scripts)));
}

std::ostream& operator<<(std::ostream& out, const Node& n) {
    return out << std::hex << "{id " << n.identity << ", engine " << n.engine << ", type " << n.valueType << ", exp "
               << n.expType << ", sib " << n.sibIndex << "/" << n.sibIdentity << ", str " << n.stringOffset << ", "
               << n.low << "/" << n.high << "}" << std::dec;
}

Node NodeAt(const Bytes& file, const mapgen::MapLayout& layout, int slot) {
    const std::size_t at = static_cast<std::size_t>(layout.nodeDataOffset) + 0x38 + 20 * static_cast<std::size_t>(slot);
    return Node{Get16(file, at),      Get16(file, at + 2),  Get16(file, at + 4),  Get16(file, at + 6),
                Get16(file, at + 8),  Get16(file, at + 10), Get32(file, at + 12), Get16(file, at + 16),
                Get16(file, at + 18)};
}

}  // namespace xsc::test

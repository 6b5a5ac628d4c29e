// Each function writes one part of the map where the plan placed it, in file order.

#include "mapgen/MapContent.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include "engine/MapEngine.h"
#include "map/HaloPcMap.h"
#include "map/MapFormat.h"
#include "mapgen/NamedContent.h"
#include "mapgen/RandomBytes.h"
#include "mapgen/SyntheticFormat.h"
#include "mapgen/TagData.h"
#include "mapgen/TagStructures.h"
#include "runtime/ByteOrder.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc::mapgen {
namespace {

namespace sf = scriptformat;
namespace syn = synthetic;

std::uint32_t Address(const MapLayout& layout, std::int64_t offset) {
    return static_cast<std::uint32_t>(offset) + static_cast<std::uint32_t>(layout.magic);
}

void Store32(std::uint8_t* block, std::int64_t offset, std::uint32_t value) {
    EncodeFixed32(block + offset, value);
}

void ExpectOffset(const BlockWriter& out, std::int64_t expected, const char* part) {
    if (out.Offset() != expected) {
        throw std::logic_error(std::string("map generator: ") + part + " starts at " +
                               std::to_string(out.Offset()) + ", planned " + std::to_string(expected));
    }
}

void WriteHeader(BlockWriter& out, const MapPlan& plan, const MapOptions& options) {
    std::array<std::uint8_t, syn::kHeaderSize> header{};
    RandomBytes(Random::ForPart(options.seed, PartNumber(Part::Header))).Fill(header.data(), header.size());
    plan.headerCode.copy(reinterpret_cast<char*>(header.data()) + mapformat::kHeaderCodeOffset, 4);
    const auto index = static_cast<std::uint32_t>(plan.layout.indexOffset);
    const bool daeh = options.daehHeader;
    Store32(header.data(), daeh ? mapformat::kIndexOffsetField : mapformat::kAlternateIndexOffsetField, index);
    Store32(header.data(), daeh ? mapformat::kAlternateIndexOffsetField : mapformat::kIndexOffsetField, ~index);
    // The lengths the game reads from the header, as it writes them: the whole file, and the
    // tag data from the index header to the end.
    const auto length = static_cast<std::uint32_t>(plan.layout.fileLength);
    Store32(header.data(), daeh ? mapformat::kFileSizeField : mapformat::kAlternateFileSizeField, length);
    Store32(header.data(), daeh ? mapformat::kTagDataSizeField : mapformat::kAlternateTagDataSizeField, length - index);
    if (options.engineValue) {
        Store32(header.data(), daeh ? engine::kDaehEngineField : engine::kDemoEngineField, *options.engineValue);
        if (!daeh) engine::kDemoHeaderCode.copy(reinterpret_cast<char*>(header.data()) + engine::kDemoHeaderCodeField, 4);
    }
    out.PutBytes({reinterpret_cast<const char*>(header.data()), header.size()});
}

void WriteHead(BlockWriter& out, const MapOptions& options) {
    RandomBytes bytes(Random::ForPart(options.seed, PartNumber(Part::Head)));
    out.PutGenerated(options.headSize, [&bytes](std::uint8_t* block, std::size_t n) { bytes.Fill(block, n); });
}

void WriteIndex(BlockWriter& out, const MapPlan& plan) {
    const MapLayout& layout = plan.layout;
    ExpectOffset(out, layout.indexOffset, "the index header");
    out.Put32(static_cast<std::uint32_t>(layout.mapMagic));
    out.Put32(layout.tagIdents.front());
    out.Put32(0);
    out.Put32(static_cast<std::uint32_t>(layout.tagCount));
    out.PutFill(0, syn::kIndexTagsCode - mapformat::kIndexTagCount - 4);
    out.PutBytes(syn::kTagsCode);

    ExpectOffset(out, layout.tagOffset, "the tag entries");
    for (std::int32_t i = 0; i < layout.tagCount; ++i) {
        const TagKind& kind = *plan.kinds[static_cast<std::size_t>(i)];
        out.PutBytes(HaloPcMap::Reverse(kind.class1));
        out.PutBytes(HaloPcMap::Reverse(kind.class2));
        out.PutBytes(HaloPcMap::Reverse(kind.class3));
        out.Put32(layout.tagIdents[static_cast<std::size_t>(i)]);
        out.Put32(Address(layout, plan.nameOffsets[static_cast<std::size_t>(i)]));
        out.Put32(Address(layout, layout.tagDataOffsets[static_cast<std::size_t>(i)]));
        out.PutFill(0, mapformat::kTagEntrySize - mapformat::kTagDataAddress - 4);
    }

    ExpectOffset(out, layout.namesOffset, "the tag names");
    for (const std::string& name : layout.tagNames) {
        out.PutBytes(name);
        out.Put8(0);
    }
    out.PutFill(0, layout.scenarioOffset - out.Offset());
}

// Lists the address fields at `base` + each offset, for a structured map (whose context notes them).
void Note(const StructureContext& context, std::int64_t base, const std::vector<std::int64_t>& offsets) {
    if (context.fields == nullptr || context.tags->empty()) return;
    for (const std::int64_t offset : offsets) context.fields->addresses.push_back(base + offset);
}

// The scenario structure: filler words, the script fields and their neighbouring data fields. A
// structured map's holds its blocks instead of filler, their elements in `tail`.
void WriteScenarioStruct(BlockWriter& out, const MapPlan& plan, const MapOptions& options, RandomBytes& filler,
                         std::vector<std::uint8_t>& tail, const StructureContext& context) {
    const MapLayout& layout = plan.layout;
    std::array<std::uint8_t, syn::kScenarioStructSize> scenario{};
    filler.Fill(scenario.data(), scenario.size());
    std::fill(scenario.begin() + syn::kScenarioZeroStart, scenario.begin() + syn::kScenarioZeroEnd, 0);
    if (options.structured) {
        // With names, the named blocks' fields are left to the names, and their cutscene blocks
        // take the start of the tail.
        std::vector<KeptBytes> kept{{syn::kScenarioZeroStart, syn::kScenarioZeroEnd}};
        if (options.names) {
            const std::vector<KeptBytes> named = ScenarioNameFields();
            kept.insert(kept.end(), named.begin(), named.end());
        }
        Random random = Random::ForPart(options.seed, PartNumber(Part::Scenario));
        WriteStructuredScenario(scenario.data(), layout.scenarioOffset, tail.data() + plan.namesTailSize,
                                static_cast<std::int64_t>(tail.size()) - plan.namesTailSize,
                                layout.scenarioTailOffset + plan.namesTailSize, kept, context, random);
    }
    Store32(scenario.data(), sf::kNodeDataSizeField, static_cast<std::uint32_t>(layout.nodeDataSize));
    Store32(scenario.data(), sf::kNodeDataAddressField, Address(layout, layout.nodeDataOffset));
    Store32(scenario.data(), sf::kStringDataSizeField, static_cast<std::uint32_t>(layout.stringDataEnd - layout.stringDataOffset));
    Store32(scenario.data(), sf::kStringDataAddressField, Address(layout, layout.stringDataOffset));
    Store32(scenario.data(), sf::kScriptCountField, plan.official ? static_cast<std::uint32_t>(plan.official->scripts) : 0);
    Store32(scenario.data(), sf::kScriptRecordsAddressField, Address(layout, layout.stringDataEnd));
    Store32(scenario.data(), sf::kBehindStringsAddressField, Address(layout, plan.behindStringsOffset));
    if (options.scenarioBlocks) {
        // Blocks 3 (cutscene flags), 1 (references) and 4 (cutscene camera points) behind the
        // strings, block 2 (source files) at the start of the scenario's own structure. The
        // globals stay empty: their initial values would live in the node data, and a map with
        // globals cannot be recompiled.
        const struct { int block; std::int32_t count; std::int64_t offset; } placed[] = {
            {3, 2, layout.scenarioTailOffset}, {1, 1, layout.scenarioTailOffset + 32}, {2, 1, layout.scenarioOffset},
            {4, 3, layout.scenarioTailOffset + 64}};
        for (const auto& p : placed) {
            const std::int64_t field = sf::kScenarioBlocks[p.block].field;
            Store32(scenario.data(), field + sf::kBlockCount, static_cast<std::uint32_t>(p.count));
            Store32(scenario.data(), field + sf::kBlockAddress, Address(layout, p.offset));
        }
    }
    if (options.names) {
        // The blocks' fields are empty unless named; the other fields keep their filler (or, in a
        // structured map, their blocks).
        if (!options.structured) {
            std::fill(scenario.begin() + syn::kNamedFieldsStart, scenario.begin() + syn::kScenarioZeroStart, 0);
        }
        std::fill(scenario.begin() + syn::kHudMessagesTagStart, scenario.begin() + syn::kHudMessagesTagEnd, 0);
        // A structured map's dependency names the tag's path as well as its ID.
        const std::uint32_t hudPath = options.structured ? context.tags->at(kHudMessageTextTag).pathAddress : 0;
        const std::vector<std::int64_t> fields = PutScenarioNameFields(scenario.data(), layout, plan.namesRegionOffset, hudPath);
        Note(context, layout.scenarioOffset, fields);
    }
    if (plan.official) {
        // The globals' records follow the scripts' (the block is empty otherwise).
        const std::int64_t globals = sf::kGlobalsBlockField;
        const std::size_t count = static_cast<std::size_t>(plan.official->globals);
        Store32(scenario.data(), globals + sf::kBlockCount, static_cast<std::uint32_t>(count));
        Store32(scenario.data(), globals + sf::kBlockAddress,
                count == 0 ? 0 : Address(layout, layout.stringDataEnd + static_cast<std::int64_t>(plan.official->scriptRecords.size())));
    }
    out.PutBytes({reinterpret_cast<const char*>(scenario.data()), scenario.size()});
    if (options.names) {
        std::vector<std::int64_t> fields;
        const std::vector<std::uint8_t> region = NamesRegion(layout, plan.namesRegionOffset, &fields);
        Note(context, plan.namesRegionOffset, fields);
        out.PutBytes({reinterpret_cast<const char*>(region.data()), region.size()});
    }
}

void WriteNodeData(BlockWriter& out, const MapOptions& options, const OfficialScriptData* official) {
    if (official) {
        out.PutBytes({reinterpret_cast<const char*>(official->nodeData.data()), official->nodeData.size()});
        return;
    }
    std::array<std::uint8_t, syn::kNodeHeaderSize> header{};
    syn::kNodeTableName.copy(reinterpret_cast<char*>(header.data()), syn::kNodeTableNameSize);
    EncodeFixed16(header.data() + syn::kNodeCapacityField, static_cast<std::uint16_t>(options.slotCapacity));
    EncodeFixed16(header.data() + syn::kNodeSizeField, static_cast<std::uint16_t>(sf::kNodeSize));
    header[syn::kNodeOneField] = 1;
    syn::kNodeDataCode.copy(reinterpret_cast<char*>(header.data()) + syn::kNodeDataCodeField, 4);
    EncodeFixed16(header.data() + sf::kSlotCountField, static_cast<std::uint16_t>(syn::kNoSlotInUse));
    EncodeFixed16(header.data() + sf::kRealNodeCountField, 0);
    EncodeFixed16(header.data() + sf::kLastIdentityField, syn::kNoIdentityHandedOut);
    out.PutBytes({reinterpret_cast<const char*>(header.data()), header.size()});
    for (std::int32_t k = 0; k < options.slotCapacity; ++k) {
        out.Put16(static_cast<std::uint16_t>(k));
        out.PutFill(syn::kSlotFill, sf::kNodeSize - 2);
    }
}

void WriteScenario(BlockWriter& out, const MapPlan& plan, const MapOptions& options, const StructureContext& context) {
    const MapLayout& layout = plan.layout;
    RandomBytes filler(Random::ForPart(options.seed, PartNumber(Part::Scenario)));
    std::vector<std::uint8_t> tail(options.structured ? static_cast<std::size_t>(options.scenarioTailSize) : 0);
    ExpectOffset(out, layout.scenarioOffset, "the scenario");
    WriteScenarioStruct(out, plan, options, filler, tail, context);
    ExpectOffset(out, layout.nodeDataOffset, "the node data");
    WriteNodeData(out, options, plan.official.get());
    ExpectOffset(out, layout.stringDataOffset, "the string data");
    if (plan.official) {
        const OfficialScriptData& o = *plan.official;
        out.PutBytes(o.strings);
        out.PutBytes({reinterpret_cast<const char*>(o.scriptRecords.data()), o.scriptRecords.size()});
        out.PutBytes({reinterpret_cast<const char*>(o.globalRecords.data()), o.globalRecords.size()});
    } else {
        out.PutFill(0, sf::kFreshStringDataSize);
    }
    ExpectOffset(out, layout.scenarioTailOffset, "the scenario tail");
    if (options.structured) {
        if (options.names) {
            const std::vector<std::uint8_t> named = NamesTail();
            std::copy(named.begin(), named.end(), tail.begin());
        }
        out.PutBytes({reinterpret_cast<const char*>(tail.data()), tail.size()});
    } else {
        std::int64_t rest = options.scenarioTailSize;
        if (options.names) {
            const std::vector<std::uint8_t> named = NamesTail();
            out.PutBytes({reinterpret_cast<const char*>(named.data()), named.size()});
            rest -= static_cast<std::int64_t>(named.size());
        }
        out.PutGenerated(rest, [&filler](std::uint8_t* block, std::size_t n) { filler.Fill(block, n); });
    }
    out.PutFill(0, layout.scanStart - out.Offset());
}

// What structured tags may name and where their raw data may lie.
std::vector<ReferableTag> ReferableTags(const MapPlan& plan) {
    std::vector<ReferableTag> tags;
    for (std::size_t i = 0; i < plan.kinds.size(); ++i) {
        const TagKind& kind = *plan.kinds[i];
        ReferableTag t;
        const std::string_view classes[] = {kind.class1, kind.class2, kind.class3};
        for (int c = 0; c < 3; ++c) t.classes[c] = classes[c] == syn::kNoClass ? "" : std::string(classes[c]);
        t.pathAddress = Address(plan.layout, plan.nameOffsets[i]);
        t.ident = plan.layout.tagIdents[i];
        tags.push_back(std::move(t));
    }
    return tags;
}

}  // namespace

void WriteMapContent(BlockWriter& out, const MapPlan& plan, const MapOptions& options, StructureFields* fields) {
    const std::vector<ReferableTag> tags = options.structured ? ReferableTags(plan) : std::vector<ReferableTag>{};
    const StructureContext context{plan.layout.magic, &tags, syn::kHeaderSize, plan.layout.indexOffset, fields};
    WriteHeader(out, plan, options);
    WriteHead(out, options);
    WriteIndex(out, plan);
    WriteScenario(out, plan, options, context);
    ExpectOffset(out, plan.layout.scanStart, "the tag data");
    if (options.structured) {
        WriteStructuredTagData(out, plan.layout, options, context);
    } else {
        WriteTagData(out, plan.layout, options);
    }
    ExpectOffset(out, plan.layout.fileLength, "the end of the file");
    out.Flush();
}

}  // namespace xsc::mapgen

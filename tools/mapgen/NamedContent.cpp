#include "mapgen/NamedContent.h"

#include <algorithm>
#include <string>

#include "engine/NameTables.h"
#include "map/HaloPcMap.h"
#include "mapgen/SampleNames.h"
#include "mapgen/SyntheticFormat.h"
#include "names/NamesFormat.h"
#include "runtime/ByteOrder.h"

namespace xsc::mapgen {
namespace {

namespace nf = namesformat;
using engine::NameTables;

// The structures of the tags that hold names: where their block field lies and how much room
// their structure takes before the elements.
constexpr std::int64_t kHudMessageTextStruct = 0x40;
constexpr std::int64_t kGlobalsStruct = 0x150;
constexpr std::int64_t kGlobalsBitmapElement = 304;
constexpr std::int64_t kHudGlobalsStruct = 0x170;
constexpr std::int32_t kPlainNamedTagSize = 64;

std::uint32_t Address(const MapLayout& layout, std::int64_t offset) {
    return static_cast<std::uint32_t>(offset) + static_cast<std::uint32_t>(layout.magic);
}

// A growable run of zero bytes with little-endian stores by offset.
class Bytes {
public:
    std::int64_t Append(std::int64_t count) {
        const auto at = static_cast<std::int64_t>(b_.size());
        b_.resize(b_.size() + static_cast<std::size_t>(count), 0);
        return at;
    }
    void Name(std::int64_t at, std::string_view name) { std::copy(name.begin(), name.end(), b_.begin() + at); }
    void Store16(std::int64_t at, std::int16_t v) { EncodeFixed16(b_.data() + at, static_cast<std::uint16_t>(v)); }
    void Store32(std::int64_t at, std::uint32_t v) { EncodeFixed32(b_.data() + at, v); }
    void Class(std::int64_t at, std::string_view code) { Name(at, HaloPcMap::Reverse(code)); }
    std::vector<std::uint8_t> Take() { return std::move(b_); }

private:
    std::vector<std::uint8_t> b_;
};

std::int64_t Size(const engine::NamedBlockLayout& b, std::size_t count) { return b.elementSize * static_cast<std::int64_t>(count); }

// Where each part of the names region lies, relative to its start. Built in one order for both
// the fields and the bytes.
struct RegionPlan {
    struct Block {
        const engine::NamedBlockLayout* layout;
        std::vector<std::string_view> names;
        std::int64_t at;
    };
    struct Spawn {
        const engine::SpawnBlockLayout* layout;
        std::vector<std::int32_t> objectNames;
        std::int64_t at;
    };
    std::vector<Block> blocks;
    std::vector<Spawn> spawns;
    std::int64_t encounters = 0;
    std::vector<std::int64_t> squads, platoons;  // per encounter
    std::int64_t size = 0;
};

RegionPlan PlanRegion() {
    const NameTables& tables = NameTables::BuiltIn();
    const SampleNames& sample = TheSampleNames();
    RegionPlan plan;
    for (const SampleBlock& b : sample.scenarioBlocks) {
        const engine::NamedBlockLayout& layout = tables.Block(b.block);
        plan.blocks.push_back({&layout, b.names, plan.size});
        plan.size += Size(layout, b.names.size());
    }
    for (const engine::SpawnBlockLayout& spawn : tables.SpawnBlocks()) {
        RegionPlan::Spawn s{&spawn, {}, plan.size};
        for (const SamplePlacement& p : sample.placements) {
            if (p.block == spawn.block) s.objectNames.push_back(p.objectName);
        }
        plan.size += spawn.elementSize * static_cast<std::int64_t>(s.objectNames.size());
        plan.spawns.push_back(std::move(s));
    }
    plan.encounters = plan.size;
    plan.size += Size(tables.Block(nf::kEncounters), sample.encounters.size());
    for (const SampleEncounter& e : sample.encounters) {
        plan.squads.push_back(plan.size);
        plan.size += Size(tables.Block(nf::kSquads), e.squads.size());
        plan.platoons.push_back(plan.size);
        plan.size += Size(tables.Block(nf::kPlatoons), e.platoons.size());
    }
    return plan;
}

// Writes a block field at `field` of `base`; lists where its address lies when it has elements.
void PutField(std::uint8_t* base, std::int64_t field, std::size_t count, std::uint32_t address,
              std::vector<std::int64_t>& addresses) {
    EncodeFixed32(base + field + nf::kBlockCount, static_cast<std::uint32_t>(count));
    EncodeFixed32(base + field + nf::kBlockAddress, count == 0 ? 0 : address);
    if (count != 0) addresses.push_back(field + nf::kBlockAddress);
}

void PutNames(Bytes& bytes, std::int64_t at, const engine::NamedBlockLayout& layout, const std::vector<std::string_view>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) bytes.Name(at + Size(layout, i) + *layout.nameOffset, names[i]);
}

// A tag's structure with one block field at `field`, its elements right behind the structure.
std::vector<std::uint8_t> TagWithBlock(const MapLayout& layout, std::int64_t tag, std::int64_t structSize,
                                       const engine::NamedBlockLayout& block, const std::vector<std::string_view>& names) {
    Bytes bytes;
    bytes.Append(structSize + Size(block, names.size()));
    const std::int64_t start = layout.tagDataOffsets[static_cast<std::size_t>(tag)];
    bytes.Store32(block.fieldOffset + nf::kBlockCount, static_cast<std::uint32_t>(names.size()));
    bytes.Store32(block.fieldOffset + nf::kBlockAddress, Address(layout, start + structSize));
    PutNames(bytes, structSize, block, names);
    return bytes.Take();
}

}  // namespace

std::int64_t NamesRegionSize() { return PlanRegion().size; }

std::int64_t NamesTailSize() {
    std::int64_t size = 0;
    for (const SampleBlock& b : TheSampleNames().behindStrings) size += Size(NameTables::BuiltIn().Block(b.block), b.names.size());
    return size;
}

std::vector<std::int32_t> NamedTagSizes(bool structured) {
    const NameTables& tables = NameTables::BuiltIn();
    const SampleNames& sample = TheSampleNames();
    if (structured) return std::vector<std::int32_t>(sample.tags.size(), static_cast<std::int32_t>(kSmallestStructuredTag));
    std::vector<std::int32_t> sizes(sample.tags.size(), kPlainNamedTagSize);
    sizes[kHudMessageTextTag - 1] = static_cast<std::int32_t>(kHudMessageTextStruct + Size(tables.Block(nf::kHudMessages), sample.hudMessages.size()));
    sizes[kGlobalsTag - 1] = static_cast<std::int32_t>(kGlobalsStruct + kGlobalsBitmapElement);
    sizes[kHudGlobalsTag - 1] = static_cast<std::int32_t>(kHudGlobalsStruct + Size(tables.Block(nf::kWaypointArrows), sample.navpoints.size()));
    return sizes;
}

std::vector<std::int64_t> PutScenarioNameFields(std::uint8_t* scenario, const MapLayout& layout, std::int64_t region,
                                                std::uint32_t hudMessagesPath) {
    const NameTables& tables = NameTables::BuiltIn();
    const SampleNames& sample = TheSampleNames();
    const RegionPlan plan = PlanRegion();
    std::vector<std::int64_t> addresses;
    for (const RegionPlan::Block& b : plan.blocks) {
        PutField(scenario, b.layout->fieldOffset, b.names.size(), Address(layout, region + b.at), addresses);
    }
    for (const RegionPlan::Spawn& s : plan.spawns) {
        PutField(scenario, s.layout->fieldOffset, s.objectNames.size(), Address(layout, region + s.at), addresses);
    }
    PutField(scenario, tables.Block(nf::kEncounters).fieldOffset, sample.encounters.size(), Address(layout, region + plan.encounters),
             addresses);
    std::int64_t tail = layout.scenarioTailOffset;
    for (const SampleBlock& b : sample.behindStrings) {
        const engine::NamedBlockLayout& block = tables.Block(b.block);
        PutField(scenario, block.fieldOffset, b.names.size(), Address(layout, tail), addresses);
        tail += Size(block, b.names.size());
    }
    const std::int64_t hud = tables.Block(nf::kHudMessagesTag).fieldOffset;
    std::copy_n(HaloPcMap::Reverse(nf::kHudMessageTextClass).data(), 4, scenario + hud);
    EncodeFixed32(scenario + hud + nf::kDependencyTagId, layout.tagIdents[kHudMessageTextTag]);
    if (hudMessagesPath != 0) {
        EncodeFixed32(scenario + hud + nf::kDependencyPath, hudMessagesPath);
        addresses.push_back(hud + nf::kDependencyPath);
    }
    return addresses;
}

std::vector<KeptBytes> ScenarioNameFields() {
    const NameTables& tables = NameTables::BuiltIn();
    const SampleNames& sample = TheSampleNames();
    std::vector<KeptBytes> fields;
    auto field = [&fields](std::int64_t at) { fields.push_back({at, at + nf::kBlockFieldSize}); };
    for (const SampleBlock& b : sample.scenarioBlocks) field(tables.Block(b.block).fieldOffset);
    for (const engine::SpawnBlockLayout& spawn : tables.SpawnBlocks()) field(spawn.fieldOffset);
    field(tables.Block(nf::kEncounters).fieldOffset);
    for (const SampleBlock& b : sample.behindStrings) field(tables.Block(b.block).fieldOffset);
    const std::int64_t hud = tables.Block(nf::kHudMessagesTag).fieldOffset;
    fields.push_back({hud, hud + nf::kDependencySize});
    return fields;
}

std::vector<std::uint8_t> NamesRegion(const MapLayout& layout, std::int64_t region, std::vector<std::int64_t>* addresses) {
    const NameTables& tables = NameTables::BuiltIn();
    const SampleNames& sample = TheSampleNames();
    const RegionPlan plan = PlanRegion();
    Bytes bytes;
    bytes.Append(plan.size);
    for (const RegionPlan::Block& b : plan.blocks) PutNames(bytes, b.at, *b.layout, b.names);
    // Object names: the type and index of the object placed under each, -1 when none is.
    const RegionPlan::Block& objects = plan.blocks.front();
    for (std::size_t i = 0; i < objects.names.size(); ++i) {
        bytes.Store16(objects.at + Size(*objects.layout, i) + nf::kNameWidth, -1);
        bytes.Store16(objects.at + Size(*objects.layout, i) + nf::kNameWidth + 2, -1);
    }
    for (const RegionPlan::Spawn& s : plan.spawns) {
        for (std::size_t i = 0; i < s.objectNames.size(); ++i) {
            bytes.Store16(s.at + s.layout->elementSize * static_cast<std::int64_t>(i) + s.layout->objectNameOffset,
                          static_cast<std::int16_t>(s.objectNames[i]));
            const std::int64_t name = objects.at + Size(*objects.layout, static_cast<std::size_t>(s.objectNames[i]));
            bytes.Store16(name + nf::kNameWidth, static_cast<std::int16_t>(s.layout->objectTypeCode));
            bytes.Store16(name + nf::kNameWidth + 2, static_cast<std::int16_t>(i));
        }
    }
    const engine::NamedBlockLayout& encounters = tables.Block(nf::kEncounters);
    const engine::NamedBlockLayout& squads = tables.Block(nf::kSquads);
    const engine::NamedBlockLayout& platoons = tables.Block(nf::kPlatoons);
    for (std::size_t i = 0; i < sample.encounters.size(); ++i) {
        const SampleEncounter& e = sample.encounters[i];
        const std::int64_t at = plan.encounters + Size(encounters, i);
        bytes.Name(at + *encounters.nameOffset, e.name);
        bytes.Store32(at + squads.fieldOffset + nf::kBlockCount, static_cast<std::uint32_t>(e.squads.size()));
        bytes.Store32(at + squads.fieldOffset + nf::kBlockAddress, e.squads.empty() ? 0 : Address(layout, region + plan.squads[i]));
        bytes.Store32(at + platoons.fieldOffset + nf::kBlockCount, static_cast<std::uint32_t>(e.platoons.size()));
        bytes.Store32(at + platoons.fieldOffset + nf::kBlockAddress, e.platoons.empty() ? 0 : Address(layout, region + plan.platoons[i]));
        if (addresses != nullptr && !e.squads.empty()) addresses->push_back(at + squads.fieldOffset + nf::kBlockAddress);
        if (addresses != nullptr && !e.platoons.empty()) addresses->push_back(at + platoons.fieldOffset + nf::kBlockAddress);
        PutNames(bytes, plan.squads[i], squads, e.squads);
        PutNames(bytes, plan.platoons[i], platoons, e.platoons);
    }
    return bytes.Take();
}

std::vector<std::uint8_t> NamesTail() {
    Bytes bytes;
    for (const SampleBlock& b : TheSampleNames().behindStrings) {
        const engine::NamedBlockLayout& block = NameTables::BuiltIn().Block(b.block);
        PutNames(bytes, bytes.Append(Size(block, b.names.size())), block, b.names);
    }
    return bytes.Take();
}

std::vector<Overlay> NamedTagOverlays(const MapLayout& layout) {
    const NameTables& tables = NameTables::BuiltIn();
    const SampleNames& sample = TheSampleNames();
    std::vector<Overlay> overlays;
    overlays.push_back({layout.tagDataOffsets[kHudMessageTextTag],
                        TagWithBlock(layout, kHudMessageTextTag, kHudMessageTextStruct, tables.Block(nf::kHudMessages), sample.hudMessages)});
    // The globals' interface bitmaps: one element, which names the hud globals.
    Bytes globals;
    globals.Append(kGlobalsStruct + kGlobalsBitmapElement);
    const std::int64_t start = layout.tagDataOffsets[kGlobalsTag];
    const std::int64_t bitmaps = tables.Block(nf::kInterfaceBitmaps).fieldOffset;
    globals.Store32(bitmaps + nf::kBlockCount, 1);
    globals.Store32(bitmaps + nf::kBlockAddress, Address(layout, start + kGlobalsStruct));
    globals.Class(kGlobalsStruct + nf::kHudGlobalsDependency, nf::kHudGlobalsClass);
    globals.Store32(kGlobalsStruct + nf::kHudGlobalsDependency + nf::kDependencyTagId, layout.tagIdents[kHudGlobalsTag]);
    overlays.push_back({start, globals.Take()});
    overlays.push_back({layout.tagDataOffsets[kHudGlobalsTag],
                        TagWithBlock(layout, kHudGlobalsTag, kHudGlobalsStruct, tables.Block(nf::kWaypointArrows), sample.navpoints)});
    return overlays;
}


std::vector<GivenBlock> NamedTagBlocks(std::int64_t tag) {
    const NameTables& tables = NameTables::BuiltIn();
    const SampleNames& sample = TheSampleNames();
    auto named = [&tables](std::string_view name, const std::vector<std::string_view>& names) {
        const engine::NamedBlockLayout& block = tables.Block(name);
        Bytes bytes;
        PutNames(bytes, bytes.Append(Size(block, names.size())), block, names);
        return GivenBlock{block.fieldOffset, static_cast<std::int64_t>(names.size()), bytes.Take(), {}};
    };
    switch (tag) {
        case kHudMessageTextTag: return {named(nf::kHudMessages, sample.hudMessages)};
        case kHudGlobalsTag: return {named(nf::kWaypointArrows, sample.navpoints)};
        case kGlobalsTag: {
            // One interface bitmaps element, which names the hud globals.
            const engine::NamedBlockLayout& bitmaps = tables.Block(nf::kInterfaceBitmaps);
            return {GivenBlock{bitmaps.fieldOffset, 1, std::vector<std::uint8_t>(static_cast<std::size_t>(bitmaps.elementSize)),
                               {{nf::kHudGlobalsDependency, static_cast<std::size_t>(kHudGlobalsTag)}}}};
        }
        default: return {};
    }
}

}  // namespace xsc::mapgen

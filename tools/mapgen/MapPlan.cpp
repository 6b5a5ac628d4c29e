// Validation of the options and the placement of every part of a synthetic map.

#include "mapgen/MapPlan.h"

#include <algorithm>
#include <string_view>

#include "map/HaloPcMap.h"
#include "map/MapFormat.h"
#include "mapgen/NamedContent.h"
#include "mapgen/Random.h"
#include "mapgen/SampleNames.h"
#include "mapgen/SyntheticFormat.h"
#include "mapgen/TagStructures.h"
#include "runtime/Error.h"
#include "runtime/Text.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc::mapgen {
namespace {

using mapformat::kMaxFileLength;

// Tag idents carry the tag's index in 16 bits.
constexpr std::int32_t kMaxTagCount = 0xFFFF;

std::int64_t RoundUp4(std::int64_t value) { return (value + 3) / 4 * 4; }

void CheckSize(std::int64_t value, const char* what) {
    if (value < 0) throw Error(std::string(what) + " must not be negative (got " + std::to_string(value) + ")");
    if (value > kMaxFileLength) {
        throw Error(std::string(what) + " of " + std::to_string(value) + " bytes does not fit a map (" +
                    std::to_string(kMaxFileLength) + " bytes at most)");
    }
}

std::string HeaderCodeFor(const MapOptions& options) {
    if (options.headerCode.size() != 4) {
        throw Error("the header code must be 4 bytes (got " + std::to_string(options.headerCode.size()) + ")");
    }
    const bool daeh = EqualsIgnoringCase(options.headerCode, mapformat::kHeaderCode);
    if (options.daehHeader && !daeh) {
        throw Error("the header code \"" + options.headerCode +
                    "\" would make readers take the alternate header; use \"daeh\" in any letter case");
    }
    if (!options.daehHeader && daeh) return std::string(kAlternateHeaderCode);
    return options.headerCode;
}

// An offset of the plan as the format stores it. Offsets are summed in 64 bits, so a map that
// would pass the format's reach is caught here before anything is cut to 32 bits.
std::int32_t Offset32(std::int64_t offset) {
    if (offset > kMaxFileLength) {
        throw Error("the map would be more than " + std::to_string(kMaxFileLength) +
                    " bytes long, the most the format reaches (offset " + std::to_string(offset) + ")");
    }
    return static_cast<std::int32_t>(offset);
}

std::int64_t NamedTagData(const MapOptions& options) {
    std::int64_t total = 0;
    for (const std::int32_t size : NamedTagSizes(options.structured)) total += size;
    return total;
}

// The scenario tail's bytes: the named cutscene blocks first, a structured map's blocks behind them.
std::int64_t SmallestTail(const MapOptions& options) {
    return (options.names ? NamesTailSize() : 0) + (options.structured ? kSmallestStructuredTail : 0);
}

void CheckNamesFit(const MapOptions& options) {
    const auto named = static_cast<std::int32_t>(TheSampleNames().tags.size());
    if (options.tagCount < named + 1) {
        throw Error("a map with names needs a tag count of at least " + std::to_string(named + 1) + " (got " +
                    std::to_string(options.tagCount) + ")");
    }
    if (options.tagDataSize < NamedTagData(options)) {
        throw Error("a map with names needs at least " + std::to_string(NamedTagData(options)) + " bytes of tag data");
    }
    if (options.scenarioTailSize < SmallestTail(options)) {
        throw Error("a map with names needs a scenario tail of at least " + std::to_string(SmallestTail(options)) + " bytes");
    }
    if (options.scenarioBlocks) throw Error("a map with names has scenario blocks of its own: leave out the other scenario blocks");
}

void CheckOptions(const MapOptions& options) {
    if (options.tagCount < 1 || options.tagCount > kMaxTagCount) {
        throw Error("the tag count must be 1 to " + std::to_string(kMaxTagCount) + " (got " +
                    std::to_string(options.tagCount) + ")");
    }
    CheckSize(options.headSize, "the head size");
    CheckSize(options.tagDataSize, "the tag data size");
    CheckSize(options.scenarioTailSize, "the scenario tail size");
    if (options.scenarioBlocks && options.scenarioTailSize < kScenarioBlocksTail) {
        throw Error("scenario blocks need a scenario tail of at least " + std::to_string(kScenarioBlocksTail) + " bytes");
    }
    CheckSize(options.slotCapacity, "the slot capacity");
    if (options.names) CheckNamesFit(options);
    if ((options.officialScripts != 0 || !options.officialSource.empty()) && !options.names) {
        throw Error("official scripts name the map's things: they need a map with names");
    }
    if (options.officialScripts < 0) throw Error("the number of official scripts must not be negative");
    if (options.structured) {
        if (options.scenarioBlocks) {
            throw Error("a structured map writes the scenario's blocks itself: leave out the other scenario blocks");
        }
        if (options.scenarioTailSize < SmallestTail(options)) {
            throw Error("a structured map needs a scenario tail of at least " + std::to_string(SmallestTail(options)) + " bytes");
        }
        if (options.tagDataSize < kSmallestStructuredTag * (options.tagCount - 1)) {
            throw Error("a structured map needs at least " + std::to_string(kSmallestStructuredTag) +
                        " bytes of tag data per tag besides the scenario");
        }
    }
    if (options.tagCount == 1 && options.tagDataSize > 0) {
        throw Error("tag data of " + std::to_string(options.tagDataSize) +
                    " bytes needs a tag besides the scenario (a tag count of 2 or more)");
    }
}

// Cuts the tag data into tags 1..n-1 at word boundaries drawn from the seed; the last tag also
// takes the 1 to 3 bytes of a size that is not a multiple of 4. A structured map's tags each get
// at least kSmallestStructuredTag bytes.
// With names, the named tags come first with the sizes their data needs, and the others share
// the rest (the last named tag takes it when there are no others).
std::vector<std::int32_t> DrawTagSizes(const MapOptions& options) {
    std::vector<std::int32_t> sizes;
    std::int32_t others = options.tagCount - 1;
    std::int64_t dataSize = options.tagDataSize;
    if (options.names) {
        sizes = NamedTagSizes(options.structured);
        others -= static_cast<std::int32_t>(sizes.size());
        dataSize -= NamedTagData(options);
        if (others == 0) {
            sizes.back() += static_cast<std::int32_t>(dataSize);
            return sizes;
        }
    }
    if (others == 0) return sizes;
    const std::int64_t smallest = options.structured ? kSmallestStructuredTag : 0;
    const std::int64_t words = (dataSize - smallest * others) / 4;
    Random random = Random::ForPart(options.seed, PartNumber(Part::TagSizes));
    std::vector<std::int64_t> cuts;
    cuts.reserve(static_cast<std::size_t>(others) + 1);
    for (std::int32_t i = 0; i + 1 < others; ++i) cuts.push_back(static_cast<std::int64_t>(random.Below(words + 1)));
    std::sort(cuts.begin(), cuts.end());
    cuts.push_back(words);
    std::int64_t previous = 0;
    for (const std::int64_t cut : cuts) {
        sizes.push_back(static_cast<std::int32_t>(smallest + 4 * (cut - previous)));
        previous = cut;
    }
    sizes.back() += static_cast<std::int32_t>((dataSize - smallest * others) % 4);
    return sizes;
}

void PlanIndex(const MapOptions& options, MapPlan& plan) {
    MapLayout& layout = plan.layout;
    layout.tagCount = options.tagCount;
    layout.indexOffset = Offset32(synthetic::kHeaderSize + options.headSize);
    layout.tagOffset = Offset32(std::int64_t{layout.indexOffset} + mapformat::kIndexHeaderSize);
    layout.mapMagic = options.mapMagic;
    layout.magic = static_cast<std::int32_t>(static_cast<std::uint32_t>(options.mapMagic) -
                                             static_cast<std::uint32_t>(layout.tagOffset));

    Random random = Random::ForPart(options.seed, PartNumber(Part::Kinds));
    std::int64_t nameOffset = layout.tagOffset + mapformat::kTagEntrySize * options.tagCount;
    layout.namesOffset = Offset32(nameOffset);
    for (std::int32_t i = 0; i < options.tagCount; ++i) {
        const std::vector<TagKind>& named = TheSampleNames().tags;
        const bool isNamed = options.names && i >= 1 && static_cast<std::size_t>(i) <= named.size();
        const TagKind& kind = i == 0               ? ScenarioKind()
                              : isNamed            ? named[static_cast<std::size_t>(i - 1)]
                              : options.structured ? StructuredKind(random.Next64())
                                                   : OtherKind(random.Next64());
        plan.kinds.push_back(&kind);
        layout.tagClasses.emplace_back(kind.class1);
        layout.tagNames.push_back(TagName(kind, i));
        layout.tagIdents.push_back(((synthetic::kIdentSaltBase + static_cast<std::uint32_t>(i)) << 16) |
                                   static_cast<std::uint32_t>(i));
        plan.nameOffsets.push_back(Offset32(nameOffset));
        nameOffset += static_cast<std::int64_t>(layout.tagNames.back().size()) + 1;
    }
    layout.scenarioOffset = Offset32(RoundUp4(nameOffset));
}

void PlanData(const MapOptions& options, MapPlan& plan) {
    MapLayout& layout = plan.layout;
    plan.namesRegionOffset = static_cast<std::int32_t>(layout.scenarioOffset + synthetic::kScenarioStructSize);
    const std::int64_t nodeDataOffset = plan.namesRegionOffset + (options.names ? NamesRegionSize() : 0);
    const std::int64_t nodeDataSize = scriptformat::kFirstSlot + scriptformat::kNodeSize * options.slotCapacity;
    const std::int64_t stringDataOffset = nodeDataOffset + nodeDataSize;
    const OfficialScriptData* official = plan.official.get();
    const std::int64_t stringDataEnd =
        stringDataOffset + (official ? static_cast<std::int64_t>(official->strings.size()) : scriptformat::kFreshStringDataSize);
    const std::int64_t tailOffset =
        stringDataEnd + (official ? static_cast<std::int64_t>(official->scriptRecords.size() + official->globalRecords.size()) : 0);
    const std::int64_t scenarioEnd = tailOffset + options.scenarioTailSize;
    const std::int64_t tagsStart = options.tagCount > 1 ? RoundUp4(scenarioEnd) : scenarioEnd;
    const std::int64_t fileLength = Offset32(tagsStart + options.tagDataSize);
    layout.fileLength = fileLength;
    layout.nodeDataOffset = static_cast<std::int32_t>(nodeDataOffset);
    layout.nodeDataSize = static_cast<std::int32_t>(nodeDataSize);
    layout.stringDataOffset = static_cast<std::int32_t>(stringDataOffset);
    layout.stringDataEnd = static_cast<std::int32_t>(stringDataEnd);
    layout.scenarioTailOffset = static_cast<std::int32_t>(tailOffset);
    layout.scanStart = static_cast<std::int32_t>(options.tagCount > 1 ? tagsStart : fileLength);
    plan.scenarioEnd = static_cast<std::int32_t>(scenarioEnd);
    // Halfway into the tail, on a word: behind the insertion point whenever there is a tail. A
    // structured map's is its structure BSPs block, whose element starts the tail (behind the
    // named cutscene blocks, with names).
    plan.namesTailSize = options.names ? NamesTailSize() : 0;
    plan.behindStringsOffset = static_cast<std::int32_t>(
        tailOffset + (options.structured ? plan.namesTailSize : options.scenarioTailSize / 8 * 4));

    layout.tagDataOffsets.push_back(layout.scenarioOffset);
    layout.tagDataSizes.push_back(static_cast<std::int32_t>(scenarioEnd - layout.scenarioOffset));
    std::int64_t offset = tagsStart;
    for (const std::int32_t size : DrawTagSizes(options)) {
        layout.tagDataOffsets.push_back(static_cast<std::int32_t>(offset));
        layout.tagDataSizes.push_back(size);
        offset += size;
    }
}

}  // namespace

std::uint64_t PartNumber(Part part) { return static_cast<std::uint64_t>(part); }

MapPlan MakePlan(const MapOptions& options) {
    CheckOptions(options);
    MapPlan plan;
    plan.headerCode = HeaderCodeFor(options);
    PlanIndex(options, plan);
    if (options.officialScripts != 0 || !options.officialSource.empty()) {
        plan.official = std::make_shared<const OfficialScriptData>(MakeOfficialScripts(options));
    }
    PlanData(options, plan);
    return plan;
}

MapLayout PlanMap(const MapOptions& options) { return MakePlan(options).layout; }

}  // namespace xsc::mapgen

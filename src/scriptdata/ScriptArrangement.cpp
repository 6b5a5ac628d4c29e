#include "scriptdata/ScriptArrangement.h"

#include <algorithm>
#include <string>
#include <vector>

#include "map/HaloPcMap.h"
#include "map/MapFormat.h"
#include "runtime/BinaryStream.h"
#include "runtime/Error.h"
#include "runtime/Int32.h"
#include "scriptdata/BuiltScripts.h"
#include "scriptdata/OldScriptRegion.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {
namespace {

using namespace scriptformat;

struct Region {
    const char* name;
    std::int64_t start;
    std::int64_t end;  // exclusive
};

void CheckInsideFile(const Region& r, std::int64_t fileLength) {
    if (r.start < 0 || r.end > fileLength || r.start > r.end) {
        throw Error::AtOffset(std::string("the ") + r.name + " lies outside the file (" + ByteCount(fileLength) + ")",
                              r.start);
    }
}

// Each region is written in place, so it must lie wholly before the string data, and no two
// may share a byte (the order of the writes would then matter).
void CheckWrittenRegions(const std::vector<Region>& regions, std::int64_t stringData) {
    for (const Region& r : regions) {
        if (r.end > stringData) {
            throw Error::AtOffset(std::string("the ") + r.name + " does not lie before the string data (at " +
                                      Hex(stringData) + "); this map's layout is not supported",
                                  r.start);
        }
    }
    for (std::size_t i = 0; i < regions.size(); ++i) {
        for (std::size_t j = i + 1; j < regions.size(); ++j) {
            const Region& a = regions[i];
            const Region& b = regions[j];
            if (a.start < b.end && b.start < a.end) {
                throw Error::AtOffset(std::string("the ") + a.name + " and the " + b.name + " overlap (the " + b.name +
                                          " starts at " + Hex(b.start) + "); this map's layout is not supported",
                                      a.start);
            }
        }
    }
}

// A map cut short: its header gives a greater length than the file has.
void CheckHeaderLength(const HaloPcMap& map, std::int64_t fileLength) {
    if (map.HeaderFileSize <= fileLength) return;
    throw Error::AtOffset("the map is cut short: its header gives its length as " + ByteCount(map.HeaderFileSize) +
                              ", the file has " + ByteCount(fileLength),
                          map.FileSizeField());
}

// The game loads the whole tag data into a tag memory of fixed size and reads maps up to a fixed
// length: a compile must not take the map past either (a map already past one is the user's own).
void CheckGameLimits(const HaloPcMap& map, std::int64_t growth) {
    const struct {
        const char* what;
        std::int64_t size;
        std::int64_t limit;
        const char* why;
    } limits[] = {
        {"tag data", map.HeaderTagDataSize, mapformat::kGameTagMemory, "the game's tag memory holds"},
        {"map", map.HeaderFileSize, mapformat::kGameLargestMap, "the game reads maps of at most"},
    };
    for (const auto& l : limits) {
        if (l.size > l.limit || l.size + growth <= l.limit) continue;
        throw Error::InMap(std::string("the compile would make the ") + l.what + " " + ByteCount(l.size + growth) +
                           " (it is " + ByteCount(l.size) + "); " + l.why + " " + ByteCount(l.limit) +
                           "; make the scripts smaller");
    }
}

// A map cut short also loses the data of its last tags. A tag whose data address is 0 has no data
// in the tag data (a BSP's lies elsewhere) and is not looked at.
void CheckTagsInFile(const HaloPcMap& map, std::int64_t fileLength) {
    for (std::size_t i = 0; i < map.TagCache.size(); ++i) {
        const Tag& tag = *map.TagCache[i];
        if (tag.Offset <= fileLength || Wrap32(std::int64_t{tag.Offset} + map.Magic) == 0) continue;
        throw Error::AtOffset("the data of tag " + std::to_string(i) + " lies behind the end of the file (at " +
                                  Hex(tag.Offset) + ", the file has " + ByteCount(fileLength) + "): the map is cut short",
                              map.tagOffset + mapformat::kTagEntrySize * static_cast<std::int64_t>(i) +
                                  mapformat::kTagDataAddress);
    }
}

// The scenario's other blocks behind the string data move with the tail (the write phase corrects
// the fields that name them); one inside the region the compile rewrites would be destroyed.
void CheckScenarioBlocks(BinaryStream& file, const HaloPcMap& map, const ScriptArrangement& a) {
    for (const ScenarioBlock& block : kScenarioBlocks) {
        const std::int64_t field = a.scenario + block.field;
        const std::string name = std::string("the scenario's ") + block.name;
        const std::int32_t count = file.ReadInt32At(field + kBlockCount, name + " count field");
        const std::int32_t address = file.ReadInt32At(field + kBlockAddress, name + " address field");
        // Globals an earlier compile wrote in the region, or the official tools wrote, are replaced.
        if (count <= 0 || (block.field == kGlobalsBlockField && ReplacesGlobals(a, false))) continue;
        const std::int64_t offset = Wrap32(std::int64_t{address} - map.Magic);
        if (offset >= a.stringData && offset < a.insertionPoint) {
            throw Error::AtOffset(name + " (at " + Hex(offset) +
                                      ") lie inside the script data a compile rewrites; this map's layout is not supported",
                                  field);
        }
    }
}

}  // namespace

std::string HeaderLengthWarning(const HaloPcMap& map, std::int64_t fileLength) {
    if (map.HeaderFileSize >= fileLength) return {};
    return "the map's header gives its length as " + ByteCount(map.HeaderFileSize) + " (at " +
           Hex(map.FileSizeField()) + "), the file has " + ByteCount(fileLength) +
           ": the game may not read the bytes behind that length";
}

void CheckLoadedLength(const HaloPcMap& map, std::int64_t fileLength) {
    if (fileLength != map.LoadedLength) {
        throw Error::InMap("the map file changed since it was loaded (" + std::to_string(map.LoadedLength) +
                           " bytes then, " + std::to_string(fileLength) + " now); load it again");
    }
}

bool ReplacesGlobals(const ScriptArrangement& a, bool hasGlobals) {
    return hasGlobals || a.oldGlobals > 0 || a.oldKind == OldRegion::Kind::Official;
}

ScriptArrangement CheckArrangement(BinaryStream& file, const HaloPcMap& map, const ScriptCompilier& state,
                                   const BuiltScripts& built, RegionReading reading) {
    const std::int64_t fileLength = file.Length();
    if (map.TagCount < 2 || map.TagCache.size() < 2) {
        throw Error::InMap("the map's tag index has " + std::to_string(map.TagCount) + (map.TagCount == 1 ? " entry" : " entries") +
                           "; a compile needs at least 2 (the scenario and the tag whose data follows it)");
    }
    CheckLoadedLength(map, fileLength);
    CheckHeaderLength(map, fileLength);
    ScriptArrangement a;
    a.fileLength = fileLength;
    a.scenario = map.Scenario->Offset;
    a.nodeData = std::int64_t{state.ScriptNode} - kScriptNodeBias;
    a.stringData = state.ScriptTable;
    a.scanStart = map.TagCache[1]->Offset;

    const Region fields{"scenario's script fields", a.scenario, a.scenario + kScenarioFieldsEnd};
    const Region nodeData{"node data", a.nodeData, a.nodeData + state.SyntaxDataSize};
    const Region index{"tag index",
                       std::int64_t{map.tagOffset},
                       std::int64_t{map.tagOffset} + mapformat::kTagEntrySize * map.TagCount};
    const Region strings{"string data", a.stringData, a.stringData + state.ScriptTableSize};
    const Region mark{"compile mark in the map header", mapformat::kCompileMarkField,
                      mapformat::kCompileMarkField + static_cast<std::int64_t>(mapformat::kCompileMark.size())};
    const Region fileSize{"header's file size field", map.FileSizeField(), map.FileSizeField() + 4};
    const Region tagDataSize{"header's tag data size field", map.TagDataSizeField(), map.TagDataSizeField() + 4};
    for (const Region& r : {fields, nodeData, index, strings, mark, fileSize, tagDataSize}) CheckInsideFile(r, fileLength);
    if (state.SyntaxDataSize < kFirstSlot) {
        throw Error::AtOffset("the node data is " + std::to_string(state.SyntaxDataSize) + " bytes, smaller than its " +
                                  std::to_string(kFirstSlot) + "-byte header",
                              a.nodeData);
    }
    CheckWrittenRegions({fields, nodeData, index, mark, fileSize, tagDataSize}, a.stringData);

    const OldRegion old = FindOldRegion(file, map, state, reading);
    a.oldRegionLength = old.length;
    a.oldGlobals = old.globals;
    a.oldKind = old.kind;
    a.oldScripts = old.scripts;
    a.oldGlobalRecords = old.globalRecords;
    a.insertionPoint = a.stringData + a.oldRegionLength;

    if (a.scanStart < a.insertionPoint) {
        throw Error::AtOffset("the data of tag 1 lies before the end of the string data (at " +
                                  Hex(a.insertionPoint) + "); this map's layout is not supported",
                              a.scanStart);
    }

    a.slotCapacity = SlotCapacity(state.SyntaxDataSize);
    if (built.slots > a.slotCapacity) {
        throw Error::AtOffset("the script needs " + std::to_string(built.slots) +
                                  " node slots but the map's node data holds " + std::to_string(a.slotCapacity),
                              a.nodeData);
    }
    if (built.slots > kMaxAddressableSlots) {
        throw Error("the script needs " + std::to_string(built.slots) + " node slots; node pointers can address " +
                    std::to_string(kMaxAddressableSlots));
    }
    const std::int64_t growth = built.RegionLength() - a.oldRegionLength;
    a.newLength = fileLength + growth;
    if (a.newLength > mapformat::kMaxFileLength) {
        throw Error::InMap("the compiled map would be " + std::to_string(a.newLength) +
                           " bytes, more than a map's 32-bit offsets can reach (" +
                           std::to_string(mapformat::kMaxFileLength) + ")");
    }
    a.growth = static_cast<std::int32_t>(growth);
    CheckGameLimits(map, a.growth);
    CheckScenarioBlocks(file, map, a);
    CheckTagsInFile(map, fileLength);
    return a;
}

}  // namespace xsc

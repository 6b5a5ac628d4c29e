#include "scriptdata/OldScriptRegion.h"

#include <algorithm>
#include <string>
#include <variant>
#include <vector>

#include "map/HaloPcMap.h"
#include "map/TagWalk.h"
#include "runtime/BinaryStream.h"
#include "runtime/Error.h"
#include "runtime/Int32.h"
#include "scriptdata/RoundToMultiple.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc {
namespace {

using namespace scriptformat;

// Why a string data is not this program's, and where.
struct NotOurs {
    std::string why;
    std::int64_t offset;
};

std::vector<std::uint8_t> BytesAt(BinaryStream& file, std::int64_t offset, std::int64_t count) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    file.SetPosition(offset);
    file.ReadInto(bytes.data(), bytes.size());
    return bytes;
}

bool StartsWithBegin(BinaryStream& file, std::int64_t st, std::int64_t size) {
    if (size < static_cast<std::int64_t>(kBeginText.size()) + 1) return false;
    const std::vector<std::uint8_t> head = BytesAt(file, st, static_cast<std::int64_t>(kBeginText.size()) + 1);
    return std::equal(kBeginText.begin(), kBeginText.end(), head.begin()) && head.back() == 0;
}

// The global records a compile of ours wrote right behind the script records, or none: globals
// that lie elsewhere are not part of the region (the compile checks refuse to replace them).
std::int32_t OurGlobals(BinaryStream& file, const HaloPcMap& map, std::int64_t recordsEnd) {
    const std::int64_t field = std::int64_t{map.Scenario->Offset} + kGlobalsBlockField;
    const std::int32_t count = file.ReadInt32At(field + kBlockCount, "the scenario's globals count field");
    const std::int32_t address = file.ReadInt32At(field + kBlockAddress, "the scenario's globals address field");
    if (count <= 0 || count > kMaxAddressableSlots || Wrap32(std::int64_t{address} - map.Magic) != recordsEnd) return 0;
    const std::int64_t end = recordsEnd + kGlobalRecordSize * count;
    if (end > file.Length() || map.TagCache[1]->Offset < end) return 0;
    return count;
}

// The region of an earlier compile of ours, or why the string data is not one.
std::variant<OldRegion, NotOurs> OurRegion(BinaryStream& file, const HaloPcMap& map, const ScriptCompilier& state) {
    const std::int64_t st = state.ScriptTable;
    const std::int64_t s = state.ScriptTableSize;
    const std::int64_t x = map.Scenario->Offset;
    if (s < kSmallestCompiledStringData) {
        return NotOurs{"its string data is " + std::to_string(s) + " bytes, less than " +
                           std::to_string(kSmallestCompiledStringData),
                       x + kStringDataSizeField};
    }
    if (!StartsWithBegin(file, st, s)) return NotOurs{"its string data does not start with \"begin\"", st};
    const std::vector<std::uint8_t> zeros = BytesAt(file, st + s - kStringDataZeroBytes, kStringDataZeroBytes);
    if (std::any_of(zeros.begin(), zeros.end(), [](std::uint8_t b) { return b != 0; })) {
        return NotOurs{"its string data does not end with " + std::to_string(kStringDataZeroBytes) + " zero bytes",
                       st + s - kStringDataZeroBytes};
    }
    const std::int64_t texts = s - kStringDataZeroBytes;
    const std::int64_t pad = math::RoundToMultiple(static_cast<std::int32_t>(texts), kRecordAlignment) - texts;
    if (st + s + pad > file.Length()) return NotOurs{"its string data's padding lies outside the file", st + s};
    const std::vector<std::uint8_t> padding = BytesAt(file, st + s, pad);
    if (std::any_of(padding.begin(), padding.end(), [](std::uint8_t b) { return b != kPaddingByte; })) {
        return NotOurs{"no 0xFF padding follows its string data", st + s};
    }
    const std::int32_t scripts = file.ReadInt32At(x + kScriptCountField, "the scenario's script count field");
    if (scripts < 0 || scripts > kMaxAddressableSlots) {
        return NotOurs{"its script count is " + std::to_string(scripts), x + kScriptCountField};
    }
    const std::int64_t recordsAt = st + s + pad;
    const std::int32_t recordsAddress =
        file.ReadInt32At(x + kScriptRecordsAddressField, "the scenario's script records address field");
    if (Wrap32(std::int64_t{recordsAddress} - map.Magic) != recordsAt) {
        return NotOurs{"its script records do not follow the string data", x + kScriptRecordsAddressField};
    }
    const std::int64_t recordsEnd = recordsAt + kRecordSize * scripts;
    if (recordsEnd > file.Length()) return NotOurs{"its script records run past the end of the file", recordsAt};
    if (map.TagCache[1]->Offset < recordsEnd) {
        return NotOurs{"tag 1's data starts inside its script records", map.TagCache[1]->Offset};
    }
    const std::int32_t globals = OurGlobals(file, map, recordsEnd);
    OldRegion region;
    region.kind = OldRegion::Kind::Ours;
    region.length = recordsEnd + kGlobalRecordSize * globals - st;
    region.globals = globals;
    return region;
}

[[noreturn]] void Unrecognised(const std::string& why, std::int64_t offset) {
    throw Error::AtOffset("the map's script data is laid out neither as xsc nor as the game's tools write it (" + why +
                              "); this map's layout is not supported",
                          offset);
}

// The records a block field (count, address) of the scenario names, checked to lie in the
// scenario's own bytes, where the official tools put them.
OldRecords OfficialRecords(BinaryStream& file, const HaloPcMap& map, std::int64_t field, const char* what,
                           const TagBytes& scenario) {
    const std::int32_t count = file.ReadInt32At(field + kBlockCount, std::string("the scenario's ") + what + " count field");
    const std::int32_t address = file.ReadInt32At(field + kBlockAddress, std::string("the scenario's ") + what + " address field");
    if (count < 0) Unrecognised(std::string("its ") + what + " count is " + std::to_string(count), field + kBlockCount);
    OldRecords records{Wrap32(std::int64_t{address} - map.Magic), count};
    if (count > 0 && (records.start < scenario.start || records.End() > scenario.end)) {
        // The address as the field holds it: one outside the file has no file offset worth showing.
        const std::string where = records.start < 0 || records.start >= file.Length()
                                      ? "at address " + Hex(static_cast<std::uint32_t>(address)) + ", outside the file,"
                                      : "at " + Hex(records.start);
        Unrecognised(std::string("its ") + std::to_string(count) + " " + what + " records " + where +
                         " do not lie inside the scenario's data (" + Hex(scenario.start) + " to " + Hex(scenario.end) + ")",
                     field + kBlockAddress);
    }
    return records;
}

OldRegion OfficialRegion(BinaryStream& file, const HaloPcMap& map, const ScriptCompilier& state) {
    const std::int64_t st = state.ScriptTable;
    const std::int64_t s = state.ScriptTableSize;
    if (!StartsWithBegin(file, st, s)) Unrecognised("its string data does not start with \"begin\"", st);
    if (BytesAt(file, st + s - 1, 1).front() != 0) Unrecognised("its string data does not end with a zero byte", st + s - 1);
    if (map.TagCache[1]->Offset < st + s) {
        Unrecognised("tag 1's data starts inside its string data", map.TagCache[1]->Offset);
    }
    const std::vector<TagBytes> tags = TagByteRanges(map);
    const std::int64_t x = map.Scenario->Offset;
    OldRegion region;
    region.kind = OldRegion::Kind::Official;
    region.length = s;
    region.scripts = OfficialRecords(file, map, x + kScriptCountField, "script", tags.front());
    region.globalRecords = OfficialRecords(file, map, x + kGlobalsBlockField, "global", tags.front());
    return region;
}

}  // namespace

OldRegion FindOldRegion(BinaryStream& file, const HaloPcMap& map, const ScriptCompilier& state, RegionReading reading) {
    const std::int64_t st = state.ScriptTable;
    const std::int64_t s = state.ScriptTableSize;
    // A fresh map's 1024 bytes are zero; 1024 bytes that start with "begin" hold compiled texts.
    if (s == kFreshStringDataSize && !StartsWithBegin(file, st, s)) {
        OldRegion fresh;
        fresh.length = s;
        return fresh;
    }
    if (reading == RegionReading::AsOurs) {
        auto ours = OurRegion(file, map, state);
        if (const OldRegion* region = std::get_if<OldRegion>(&ours)) return *region;
    }
    return OfficialRegion(file, map, state);
}

}  // namespace xsc

#include "scriptdata/OldScriptRegion.h"

#include <algorithm>
#include <string>
#include <vector>

#include "map/HaloPcMap.h"
#include "runtime/BinaryStream.h"
#include "runtime/Error.h"
#include "runtime/Int32.h"
#include "scriptdata/RoundToMultiple.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc {
namespace {

using namespace scriptformat;

[[noreturn]] void NotOurs(const std::string& why, std::int64_t offset) {
    throw Error::AtOffset("the map already holds compiled scripts that were not written by xsc (" + why +
                              "); xsc can only recompile maps it compiled itself",
                          offset);
}

std::vector<std::uint8_t> BytesAt(BinaryStream& file, std::int64_t offset, std::int64_t count) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    file.SetPosition(offset);
    file.ReadInto(bytes.data(), bytes.size());
    return bytes;
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

}  // namespace

OldRegion FindOldRegion(BinaryStream& file, const HaloPcMap& map, const ScriptCompilier& state) {
    const std::int64_t st = state.ScriptTable;
    const std::int64_t s = state.ScriptTableSize;
    if (s == kFreshStringDataSize) return {s, 0};

    const std::int64_t x = map.Scenario->Offset;
    const std::int64_t sizeField = x + kStringDataSizeField;
    if (s < kSmallestCompiledStringData) {
        NotOurs("its string data is " + std::to_string(s) + " bytes, a fresh map's is " +
                    std::to_string(kFreshStringDataSize),
                sizeField);
    }
    const std::vector<std::uint8_t> head = BytesAt(file, st, kBeginText.size() + 1);
    if (!std::equal(kBeginText.begin(), kBeginText.end(), head.begin()) || head.back() != 0) {
        NotOurs("its string data does not start with \"begin\"", st);
    }
    const std::vector<std::uint8_t> zeros = BytesAt(file, st + s - kStringDataZeroBytes, kStringDataZeroBytes);
    if (std::any_of(zeros.begin(), zeros.end(), [](std::uint8_t b) { return b != 0; })) {
        NotOurs("its string data does not end with " + std::to_string(kStringDataZeroBytes) + " zero bytes",
                st + s - kStringDataZeroBytes);
    }
    const std::int64_t texts = s - kStringDataZeroBytes;
    const std::int64_t pad = math::RoundToMultiple(static_cast<std::int32_t>(texts), kRecordAlignment) - texts;
    if (st + s + pad > file.Length()) NotOurs("its string data's padding lies outside the file", st + s);
    const std::vector<std::uint8_t> padding = BytesAt(file, st + s, pad);
    if (std::any_of(padding.begin(), padding.end(), [](std::uint8_t b) { return b != kPaddingByte; })) {
        NotOurs("no 0xFF padding follows its string data", st + s);
    }
    const std::int32_t scripts = file.ReadInt32At(x + kScriptCountField, "the scenario's script count field");
    if (scripts < 0 || scripts > kMaxAddressableSlots) {
        NotOurs("its script count is " + std::to_string(scripts), x + kScriptCountField);
    }
    const std::int64_t recordsAt = st + s + pad;
    const std::int32_t recordsAddress =
        file.ReadInt32At(x + kScriptRecordsAddressField, "the scenario's script records address field");
    if (Wrap32(std::int64_t{recordsAddress} - map.Magic) != recordsAt) {
        NotOurs("its script records do not follow the string data", x + kScriptRecordsAddressField);
    }
    const std::int64_t recordsEnd = recordsAt + kRecordSize * scripts;
    if (recordsEnd > file.Length()) NotOurs("its script records run past the end of the file", recordsAt);
    if (map.TagCache[1]->Offset < recordsEnd) {
        NotOurs("tag 1's data starts inside its script records", map.TagCache[1]->Offset);
    }
    const std::int32_t globals = OurGlobals(file, map, recordsEnd);
    return {recordsEnd + kGlobalRecordSize * globals - st, globals};
}

}  // namespace xsc

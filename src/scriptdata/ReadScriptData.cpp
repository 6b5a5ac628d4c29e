#include "scriptdata/ReadScriptData.h"

#include <algorithm>

#include "map/HaloPcMap.h"
#include "runtime/BinaryStream.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/Int32.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {
namespace {

using namespace scriptformat;

class ScriptDataReader {
public:
    ScriptDataReader(const HaloPcMap& map, BinaryStream& in) : map_(map), in_(in) {}

    std::int32_t Field(std::int64_t field, const char* what) {
        return in_.ReadInt32At(map_.Scenario->Offset + field, std::string("the scenario's ") + what + " field");
    }
    std::int64_t FieldOffset(std::int64_t field) const { return map_.Scenario->Offset + field; }

    // The file offset an address field names (address - Magic, 32-bit wrapping).
    std::int64_t AddressField(std::int64_t field, const char* what) {
        return Wrap32(std::int64_t{Field(field, what)} - map_.Magic);
    }

    template <typename Bytes>
    Bytes Block(std::int64_t offset, std::int64_t size, const std::string& what) {
        if (offset < 0 || size < 0 || offset > in_.Length() || size > in_.Length() - offset) {
            throw Error::AtOffset(what + " (" + ByteCount(size) + ") lies outside the file, which is " +
                                      ByteCount(in_.Length()) + " long",
                                  offset);
        }
        Bytes bytes(static_cast<std::size_t>(size), 0);
        in_.SetPosition(offset);
        in_.ReadInto(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
        return bytes;
    }

private:
    const HaloPcMap& map_;
    BinaryStream& in_;
};

// The slots in use: the slot count field + 1 (the field is -1, 0xFFFF, when there are none),
// at most as many as the node data has room for.
void ReadSlots(ScriptDataReader& reader, CompiledScriptData& data) {
    const std::int32_t size = reader.Field(kNodeDataSizeField, "node data size");
    const std::int64_t nodeData = reader.AddressField(kNodeDataAddressField, "node data address");
    if (size < kFirstSlot) {
        throw Error::AtOffset("the node data is " + ByteCount(size) + " long, shorter than its header (" +
                                  ByteCount(kFirstSlot) + ")",
                              reader.FieldOffset(kNodeDataSizeField));
    }
    const auto header = reader.Block<std::vector<std::uint8_t>>(nodeData, kFirstSlot, "the node data header");
    const std::uint16_t field = DecodeFixed16(header.data() + kSlotCountField);
    data.slotCount = field == kNoSlotsInUse ? 0 : field + 1;
    // Other compilers' headers hold the number of slots in use itself (xsc's, that number - 1), so
    // node data full to the last slot reads one slot more than it holds: all of them are read.
    if (data.slotCount == SlotCapacity(size) + 1) data.slotCount = static_cast<std::int32_t>(SlotCapacity(size));
    if (data.slotCount > SlotCapacity(size)) {
        throw Error::AtOffset("the node data's slot count field says " + std::to_string(data.slotCount) +
                                  " slots are in use, but the node data has room for " +
                                  std::to_string(SlotCapacity(size)),
                              nodeData + kSlotCountField);
    }
    data.slots = reader.Block<std::vector<std::uint8_t>>(nodeData + kFirstSlot, kNodeSize * data.slotCount,
                                                         "the node slots in use");
}

void ReadRecords(ScriptDataReader& reader, CompiledScriptData& data) {
    const std::int32_t count = reader.Field(kScriptCountField, "script count");
    if (count < 0) {
        throw Error::AtOffset("the script count is negative (" + std::to_string(count) + ")",
                              reader.FieldOffset(kScriptCountField));
    }
    if (count == 0) return;
    const std::int64_t records = reader.AddressField(kScriptRecordsAddressField, "script records address");
    data.records = reader.Block<std::vector<std::uint8_t>>(records, kRecordSize * count,
                                                           "the " + std::to_string(count) + " script records");
}

// The scenario's globals: their initial values are node trees in the same node data.
void ReadGlobals(ScriptDataReader& reader, CompiledScriptData& data) {
    const std::int32_t count = reader.Field(kGlobalsBlockField + kBlockCount, "globals count");
    if (count < 0) {
        throw Error::AtOffset("the globals count is negative (" + std::to_string(count) + ")",
                              reader.FieldOffset(kGlobalsBlockField + kBlockCount));
    }
    if (count == 0) return;
    const std::int64_t records = reader.AddressField(kGlobalsBlockField + kBlockAddress, "globals address");
    data.globals = reader.Block<std::vector<std::uint8_t>>(records, kGlobalRecordSize * count,
                                                           "the " + std::to_string(count) + " global records");
}

}  // namespace

std::size_t CompiledScriptData::ScriptCount() const {
    return records.size() / static_cast<std::size_t>(kRecordSize);
}

std::size_t CompiledScriptData::GlobalCount() const {
    return globals.size() / static_cast<std::size_t>(kGlobalRecordSize);
}

StoredGlobal CompiledScriptData::Global(std::size_t index) const {
    const std::uint8_t* p = globals.data() + static_cast<std::size_t>(kGlobalRecordSize) * index;
    StoredGlobal global;
    global.nameField.assign(reinterpret_cast<const char*>(p + kGlobalName), static_cast<std::size_t>(kRecordNameSize));
    global.type = static_cast<std::int16_t>(DecodeFixed16(p + kGlobalType));
    global.initialValue = DecodeFixed32(p + kGlobalInitialValue);
    const auto zero = [](const std::uint8_t* from, const std::uint8_t* to) {
        return std::all_of(from, to, [](std::uint8_t b) { return b == 0; });
    };
    global.zeroElsewhere = zero(p + kGlobalType + 2, p + kGlobalInitialValue) && zero(p + kGlobalInitialValue + 4, p + kGlobalRecordSize);
    return global;
}

StoredNode CompiledScriptData::Node(std::int32_t slot) const {
    const std::uint8_t* p = slots.data() + static_cast<std::size_t>(kNodeSize) * static_cast<std::size_t>(slot);
    StoredNode node;
    node.identity = DecodeFixed16(p + kNodeExpIdentity);
    node.engine = static_cast<std::int16_t>(DecodeFixed16(p + kNodeEngineIdentity));
    node.valueType = static_cast<std::int16_t>(DecodeFixed16(p + kNodeValueType));
    node.expType = static_cast<std::int16_t>(DecodeFixed16(p + kNodeExpType));
    node.sibling = DecodeFixed32(p + kNodeSibling);
    node.stringOffset = static_cast<std::int32_t>(DecodeFixed32(p + kNodeStringOffset));
    node.childOrValue = DecodeFixed32(p + kNodeChildOrValue);
    return node;
}

StoredRecord CompiledScriptData::Record(std::size_t index) const {
    const std::uint8_t* p = records.data() + static_cast<std::size_t>(kRecordSize) * index;
    StoredRecord record;
    record.nameField.assign(reinterpret_cast<const char*>(p + kRecordName), static_cast<std::size_t>(kRecordNameSize));
    record.type = static_cast<std::int16_t>(DecodeFixed16(p + kRecordType));
    record.returnType = static_cast<std::int16_t>(DecodeFixed16(p + kRecordReturnType));
    record.root = DecodeFixed32(p + kRecordRoot);
    record.zeroTail = std::all_of(p + kRecordZeroTail, p + kRecordSize, [](std::uint8_t b) { return b == 0; });
    return record;
}

CompiledScriptData ReadScriptData(const HaloPcMap& map) {
    if (!map.f) throw Error("no map is loaded: load a map first");
    BinaryStream in = BinaryStream::OpenAsBinaryFile(*map.f, BinaryStream::Mode::ReadOnly);
    return ReadScriptData(map, in);
}

CompiledScriptData ReadScriptData(const HaloPcMap& map, BinaryStream& in) {
    if (!map.Scenario) throw Error::InMap("the map has no scenario tag");
    ScriptDataReader reader(map, in);
    CompiledScriptData data;
    const std::int32_t stringSize = reader.Field(kStringDataSizeField, "string data size");
    // 1024 bytes and no script: a map never compiled into. (Another compiler's string data may be
    // 1024 bytes long too, but then scripts go with it.)
    if (stringSize == kFreshStringDataSize && reader.Field(kScriptCountField, "script count") == 0) {
        data.fresh = true;
        return data;
    }
    const std::int64_t strings = reader.AddressField(kStringDataAddressField, "string data address");
    if (stringSize < 0) {
        throw Error::AtOffset("the string data size is negative (" + std::to_string(stringSize) + ")",
                              reader.FieldOffset(kStringDataSizeField));
    }
    data.strings = reader.Block<std::string>(strings, stringSize, "the string data");
    ReadSlots(reader, data);
    ReadRecords(reader, data);
    ReadGlobals(reader, data);
    return data;
}

}  // namespace xsc

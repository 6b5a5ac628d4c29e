#include "scriptdata/WriteScriptData.h"

#include <cstring>
#include <memory>

#include "map/HaloPcMap.h"
#include "map/MapFormat.h"
#include "runtime/BinaryStream.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "scriptdata/BuildPhase.h"
#include "scriptdata/ScriptArrangement.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc {
namespace {

using namespace scriptformat;

std::int32_t Wrap32(std::int64_t value) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(value)); }

// A small write at a file offset, planned before anything is written.
struct FieldWrite {
    std::int64_t offset;
    MemoryBlock bytes;
};

FieldWrite Int32Write(std::int64_t offset, std::int32_t value) {
    FieldWrite w{offset, MemoryBlock(4)};
    w.bytes.Int32Value(0, value);
    return w;
}

// The bytes from the string data to the end of the grown file: new strings, 1024 zero bytes,
// padding and records, then room for the tail at `tailAt` (left uninitialised: the tail is read
// into it at once, and zero-filling hundreds of megabytes first would cost a pass of its own).
struct Region {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;
    std::uint8_t* data() { return bytes.get(); }
};

Region AssembleRegion(const ScriptCompilier& state, const BuiltScripts& built, std::size_t tailSize,
                      std::size_t& tailAt) {
    const std::size_t strings = static_cast<std::size_t>(built.stringBytes);
    const std::size_t recordsAt = strings + kStringDataZeroBytes + static_cast<std::size_t>(built.padding);
    tailAt = recordsAt + built.records.size() * kRecordSize;
    Region region{std::make_unique_for_overwrite<std::uint8_t[]>(tailAt + tailSize), tailAt + tailSize};
    std::memcpy(region.data(), state.StrBlock.Data(), strings);
    std::memset(region.data() + strings, 0, kStringDataZeroBytes);
    std::memset(region.data() + strings + kStringDataZeroBytes, 0xFF, static_cast<std::size_t>(built.padding));
    for (std::size_t i = 0; i < built.records.size(); ++i) {
        std::memcpy(region.data() + recordsAt + i * kRecordSize, built.records[i].Data(), kRecordSize);
    }
    return region;
}

// The node data header: slots written - 1, real nodes, last identity, then 32 bits of 0.
FieldWrite NodeDataHeader(const ScriptCompilier& state, std::int64_t nodeData) {
    FieldWrite w{nodeData + kSlotCountField, MemoryBlock(10)};
    w.bytes.Int16Value(0, state.CurrentSyntaxNumber - ScriptCompilier::OriganalSyntaxNumber - 1);
    w.bytes.Int16Value(kRealNodeCountField - kSlotCountField, state.RealSyn);
    w.bytes.Int16Value(kLastIdentityField - kSlotCountField, state.CurrentSyntaxNumber - 1);
    w.bytes.Int32Value(kNodeDataZeroField - kSlotCountField, 0);
    return w;
}

}  // namespace

WriteResult WriteScriptData(const std::filesystem::path& path, const HaloPcMap& map, const ScriptCompilier& state,
                            const BuiltScripts& built, bool recordFixups) {
    BinaryStream file = BinaryStream::OpenAsBinaryFile(path, BinaryStream::Mode::ReadWrite);
    CheckLoadedLength(map, file.Length());
    const ScriptArrangement a = CheckArrangement(map, state, built, file.Length());
    const FixupRange range = FixupRange::For(static_cast<std::int32_t>(a.insertionPoint), map.Magic, a.newLength,
                                             a.growth);
    WriteResult result;
    result.growth = a.growth;

    // Read everything the write phase needs before the first write.
    std::size_t tailAt = 0;
    Region region =
        AssembleRegion(state, built, static_cast<std::size_t>(a.fileLength - a.insertionPoint), tailAt);
    file.SetPosition(a.insertionPoint);
    file.ReadInto(region.data() + tailAt, region.size - tailAt);

    std::vector<FieldWrite> writes;
    writes.push_back(Int32Write(a.scenario + kStringDataSizeField, built.stringBytes + kStringDataZeroBytes));
    writes.push_back(Int32Write(a.scenario + kScriptCountField, static_cast<std::int32_t>(built.records.size())));
    writes.push_back(Int32Write(a.scenario + kScriptRecordsAddressField,
                                Wrap32(a.insertionPoint + built.stringBytes + built.padding + map.Magic)));
    writes.push_back(NodeDataHeader(state, a.nodeData));
    writes.push_back(FieldWrite{a.nodeData + kFirstSlot, state.SyntaxBlock});
    file.SetPosition(a.scenario + kBehindStringsAddressField);
    const std::int32_t behindStrings = file.ReadInt32();
    writes.push_back(Int32Write(a.scenario + kBehindStringsAddressField, Wrap32(std::int64_t{behindStrings} + a.growth)));

    // The index pass: data addresses of every tag entry that point at or behind P. The entries
    // are read and written back as one block (only data addresses change), so a map with
    // thousands of tags costs two system calls, not one per entry.
    FieldWrite index{map.tagOffset, MemoryBlock(static_cast<std::size_t>(mapformat::kTagEntrySize * map.TagCount))};
    file.SetPosition(index.offset);
    file.ReadInto(index.bytes.Data(), index.bytes.Size());
    for (std::int32_t i = 0; i < map.TagCount; ++i) {
        const std::size_t field = static_cast<std::size_t>(mapformat::kTagEntrySize * i + mapformat::kTagDataAddress);
        const std::int32_t v = index.bytes.Int32At(field);
        if (!range.InRange(v)) continue;
        index.bytes.Int32Value(field, range.Corrected(v));
        ++result.indexAddressesCorrected;
        if (recordFixups) {
            result.fixups.push_back({index.offset + static_cast<std::int64_t>(field), static_cast<std::uint32_t>(v),
                                     static_cast<std::uint32_t>(range.Corrected(v))});
        }
    }
    if (result.indexAddressesCorrected != 0) writes.push_back(std::move(index));

    // The word scan over the moved region, from the scan start to the end of the grown file.
    if (a.scanStart < a.newLength) {
        const std::size_t start = static_cast<std::size_t>(a.scanStart - a.stringData);
        result.wordsCorrected = ScanWords(region.data() + start, region.size - start, range, a.scanStart,
                                          recordFixups ? &result.fixups : nullptr);
    }

    file.Reserve(a.newLength);
    file.SetPosition(a.stringData);
    file.Write(region.data(), region.size);
    for (const FieldWrite& w : writes) {
        file.SetPosition(w.offset);
        file.Write(w.bytes.Data(), w.bytes.Size());
    }
    file.Flush();
    file.Close();
    return result;
}

}  // namespace xsc

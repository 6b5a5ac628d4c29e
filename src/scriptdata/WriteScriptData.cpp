#include "scriptdata/WriteScriptData.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "map/HaloPcMap.h"
#include "map/MapFormat.h"
#include "map/TagLayouts.h"
#include "map/TagSpans.h"
#include "map/WalkedFixup.h"
#include "runtime/BinaryStream.h"
#include "runtime/Error.h"
#include "runtime/FlushBehind.h"
#include "runtime/RollbackJournal.h"
#include "runtime/Int32.h"
#include "runtime/PausePoint.h"
#include "runtime/TemporaryFile.h"
#include "scriptdata/BuiltScripts.h"
#include "scriptdata/MoveTail.h"
#include "scriptdata/ScriptArrangement.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc {
namespace {

using namespace scriptformat;

// A small write at a file offset before the string data, planned before anything is written.
struct FieldWrite {
    std::int64_t offset;
    MemoryBlock bytes;
};

FieldWrite Int32Write(std::int64_t offset, std::int32_t value) {
    FieldWrite w{offset, MemoryBlock(4)};
    w.bytes.Int32Value(0, value);
    return w;
}

// The node data header: slots written - 1, real nodes, last identity, then 32 bits of 0.
FieldWrite NodeDataHeader(const ScriptCompilier& state, std::int64_t nodeData) {
    FieldWrite w{nodeData + kSlotCountField, MemoryBlock(static_cast<std::size_t>(kFirstSlot - kSlotCountField))};
    w.bytes.Int16Value(0, state.CurrentSyntaxNumber - ScriptCompilier::OriganalSyntaxNumber - 1);
    w.bytes.Int16Value(kRealNodeCountField - kSlotCountField, state.RealSyn);
    w.bytes.Int16Value(kLastIdentityField - kSlotCountField, state.CurrentSyntaxNumber - 1);
    w.bytes.Int32Value(kNodeDataZeroField - kSlotCountField, 0);
    return w;
}

// The new region: strings, 1024 zero bytes, 0xFF padding, the script records, the global records.
std::vector<std::uint8_t> NewRegion(const ScriptCompilier& state, const BuiltScripts& built) {
    const auto strings = static_cast<std::size_t>(built.stringBytes);
    std::vector<std::uint8_t> region(static_cast<std::size_t>(built.RegionLength()), 0);
    std::memcpy(region.data(), state.StrBlock.Data(), strings);
    std::uint8_t* padding = region.data() + strings + kStringDataZeroBytes;
    std::memset(padding, kPaddingByte, static_cast<std::size_t>(built.padding));
    std::uint8_t* records = padding + built.padding;
    for (const MemoryBlock& record : built.records) {
        std::memcpy(records, record.Data(), kRecordSize);
        records += kRecordSize;
    }
    for (const MemoryBlock& record : built.globals) {
        std::memcpy(records, record.Data(), kGlobalRecordSize);
        records += kGlobalRecordSize;
    }
    return region;
}

// Everything the write phase does, read and checked from `source` (the loaded map's bytes).
struct WritePlan {
    ScriptArrangement a;
    std::vector<std::uint8_t> region;
    std::vector<FieldWrite> writes;
    AddressFixup fixup;
    WriteResult result;
    std::unique_ptr<WalkedFixup> walked;  // the walk's fix-up; none under the word scan

    TailMove Move() const { return {a.stringData, region, a.insertionPoint, a.fileLength}; }
    MovedWordFixup& Mover() {
        if (walked) return *walked;
        return fixup;
    }
};

// The globals block names the compile's global records when it has globals, or when it replaces
// those of an earlier compile (then none); otherwise the field keeps its bytes, so that a script
// without globals compiles to the bytes it always did.
bool WritesGlobals(const BuiltScripts& built, const ScriptArrangement& a) { return ReplacesGlobals(a, !built.globals.empty()); }

// The official tools' node data counts the slots in use in its size field (the highest used slot
// + 1) and marks a free slot by a salt of 0. Their slots behind the ones this compile writes are
// zeroed, up to that size (within the node data), so that no stale node with a live salt stays in
// the table: unreferenced, but a reader that walks the table, or a game that allocates from it,
// would take it for a live node. A map of ours keeps its surplus slots as before: they are fillers
// and nodes of our own layout, outside the slot count it wrote.
std::optional<FieldWrite> StaleSlots(const ScriptCompilier& state, const BuiltScripts& built, const ScriptArrangement& a) {
    if (a.oldKind != OldRegion::Kind::Official) return std::nullopt;
    const std::int64_t oldSize = std::min<std::int64_t>(static_cast<std::uint16_t>(state.SyntaxCount), a.slotCapacity);
    if (oldSize <= built.slots) return std::nullopt;
    return FieldWrite{a.nodeData + kFirstSlot + kNodeSize * built.slots,
                      MemoryBlock(static_cast<std::size_t>(kNodeSize * (oldSize - built.slots)))};
}

// The scenario's other blocks that lie behind the string data move with the tail; the fields that
// name them are in front of it, where the word scan never looks, so they are corrected here as
// the field at 0x5A8 is (CheckArrangement refused a block inside the rewritten region).
void CorrectScenarioBlocks(BinaryStream& source, WritePlan& plan, bool recordFixups, bool globalsWritten) {
    const ScriptArrangement& a = plan.a;
    for (const ScenarioBlock& block : kScenarioBlocks) {
        if (globalsWritten && block.field == kGlobalsBlockField) continue;
        const std::int64_t field = a.scenario + block.field;
        const std::string name = std::string("the scenario's ") + block.name;
        const std::int32_t count = source.ReadInt32At(field + kBlockCount, name + " count field");
        const std::int32_t address = source.ReadInt32At(field + kBlockAddress, name + " address field");
        if (count <= 0 || plan.fixup.Growth() == 0 || !plan.fixup.InRange(address)) continue;
        const std::int32_t corrected = plan.fixup.Corrected(address);
        plan.writes.push_back(Int32Write(field + kBlockAddress, corrected));
        ++plan.result.scenarioAddressesCorrected;
        if (recordFixups) {
            plan.result.fixups.push_back({field + kBlockAddress, static_cast<std::uint32_t>(address),
                                          static_cast<std::uint32_t>(corrected), CorrectedWord::Place::Scenario, 0, 0,
                                          block.name});
        }
    }
}

// What the walk must never correct: every field the compile writes itself (under the walk, the
// scenario's globals block too, which is the compile's to write).
std::vector<WalkOptions::Range> OwnedRanges(const HaloPcMap& map, const ScriptCompilier& state, const WritePlan& plan) {
    std::vector<WalkOptions::Range> owned;
    for (const FieldWrite& w : plan.writes) owned.push_back({w.offset, w.offset + static_cast<std::int64_t>(w.bytes.Size())});
    owned.push_back({mapformat::kCompileMarkField, mapformat::kCompileMarkField + static_cast<std::int64_t>(mapformat::kCompileMark.size())});
    owned.push_back({map.tagOffset, map.tagOffset + mapformat::kTagEntrySize * map.TagCount});
    owned.push_back({plan.a.scenario + kNodeDataSizeField, plan.a.scenario + kGlobalsBlockField + taglayout::kBlockSize});
    owned.push_back({plan.a.nodeData, plan.a.nodeData + state.SyntaxDataSize});
    return owned;
}

// The walk: its corrections in front of the string data become small writes; those of the moved
// bytes are left to the move. In place every tag is walked now, so that all reading is done before
// the first write; into another file, the tags behind the insertion point are walked as the move
// reaches them (the original is never written, and the disk takes the first chunks meanwhile).
void PlanWalk(BinaryStream& source, const HaloPcMap& map, const ScriptCompilier& state, WritePlan& plan,
              const WriteOptions& options) {
    const ScriptArrangement& a = plan.a;
    const bool recordFixups = options.recordFixups;
    plan.walked = std::make_unique<WalkedFixup>(
        source, map, plan.fixup, MovedBytes{a.stringData, a.insertionPoint, a.fileLength, OwnedRanges(map, state, plan)},
        recordFixups, options.output ? WalkedFixup::Walk::AsMoved : WalkedFixup::Walk::Now);
    for (const CorrectedWord& w : plan.walked->Front()) {
        plan.writes.push_back(Int32Write(w.fileOffset, static_cast<std::int32_t>(w.newValue)));
        ++(w.tag == 0 ? plan.result.scenarioAddressesCorrected : plan.result.wordsCorrected);
        if (recordFixups) plan.result.fixups.push_back(w);
    }
    if (recordFixups) plan.result.leftAlone = plan.walked->LeftAlone(source, a.newLength);
}

WritePlan PlanWrite(BinaryStream& source, const HaloPcMap& map, const ScriptCompilier& state,
                    const BuiltScripts& built, const ScriptArrangement& a, const WriteOptions& options) {
    const bool recordFixups = options.recordFixups;
    WritePlan plan{a, NewRegion(state, built), {},
                   map.UpdateFromPoint(static_cast<std::int32_t>(a.scanStart), static_cast<std::int32_t>(a.insertionPoint),
                                       a.growth),
                   {},
                   {}};
    plan.result.growth = a.growth;

    const std::int64_t recordsAt = a.stringData + built.RecordsOffset();
    auto& writes = plan.writes;
    writes.push_back(Int32Write(a.scenario + kStringDataSizeField, built.stringBytes + kStringDataZeroBytes));
    writes.push_back(Int32Write(a.scenario + kScriptCountField, static_cast<std::int32_t>(built.records.size())));
    writes.push_back(Int32Write(a.scenario + kScriptRecordsAddressField, Wrap32(recordsAt + map.Magic)));
    const bool globalsWritten = WritesGlobals(built, a);
    if (globalsWritten) {
        const auto count = static_cast<std::int32_t>(built.globals.size());
        const std::int64_t globalsAt = a.stringData + built.GlobalsOffset();
        writes.push_back(Int32Write(a.scenario + kGlobalsBlockField + kBlockCount, count));
        writes.push_back(Int32Write(a.scenario + kGlobalsBlockField + kBlockAddress, count == 0 ? 0 : Wrap32(globalsAt + map.Magic)));
    }
    writes.push_back(NodeDataHeader(state, a.nodeData));
    writes.push_back(FieldWrite{a.nodeData + kFirstSlot, state.SyntaxBlock});
    if (std::optional<FieldWrite> stale = StaleSlots(state, built, a)) writes.push_back(std::move(*stale));
    if (options.fixup == FixupMode::Scan) {
        const std::int32_t behindStrings = source.ReadInt32At(a.scenario + kBehindStringsAddressField,
                                                              "the scenario's address behind the string data");
        writes.push_back(Int32Write(a.scenario + kBehindStringsAddressField, Wrap32(std::int64_t{behindStrings} + a.growth)));
    }
    // The header's account of the file and of the tag data, which the game loads by it. Both end
    // at the end of the file, so both move with it (a header that disagreed keeps disagreeing).
    if (a.growth != 0) {
        writes.push_back(Int32Write(map.FileSizeField(), Wrap32(std::int64_t{map.HeaderFileSize} + a.growth)));
        writes.push_back(Int32Write(map.TagDataSizeField(), Wrap32(std::int64_t{map.HeaderTagDataSize} + a.growth)));
    }

    // The tag index is read and written back as one block (only data addresses change), so a
    // map with thousands of tags costs two system calls, not one per entry.
    FieldWrite index{map.tagOffset, MemoryBlock(static_cast<std::size_t>(mapformat::kTagEntrySize * map.TagCount))};
    source.SetPosition(index.offset);
    source.ReadInto(index.bytes.Data(), index.bytes.Size());
    plan.result.indexAddressesCorrected = plan.fixup.IndexPass(index.bytes.Data(), map.TagCount, index.offset,
                                                               recordFixups ? &plan.result.fixups : nullptr, options.fixup);
    if (plan.result.indexAddressesCorrected != 0 && a.growth != 0) writes.push_back(std::move(index));
    if (options.fixup == FixupMode::Scan) {
        CorrectScenarioBlocks(source, plan, recordFixups, globalsWritten);
    } else {
        PlanWalk(source, map, state, plan, options);
    }
    return plan;
}

void WriteFields(BinaryStream& target, const WritePlan& plan) {
    for (const FieldWrite& w : plan.writes) {
        target.SetPosition(w.offset);
        target.Write(w.bytes.Data(), w.bytes.Size());
    }
}

// Every byte an in-place compile overwrites or cuts off: the compile mark (first, so that a journal
// cut short is compared with the map's mark before anything else), the small fields, and the
// string data with everything behind it (only the new region when the tail stays where it is).
std::vector<FileRange> OverwrittenRanges(const WritePlan& plan) {
    std::vector<FileRange> ranges{{mapformat::kCompileMarkField, static_cast<std::int64_t>(mapformat::kCompileMark.size())}};
    for (const FieldWrite& w : plan.writes) ranges.push_back({w.offset, static_cast<std::int64_t>(w.bytes.Size())});
    const TailMove move = plan.Move();
    const std::int64_t end = move.Growth() == 0 ? move.regionStart + static_cast<std::int64_t>(move.region.size()) : move.oldLength;
    ranges.push_back({move.regionStart, end - move.regionStart});
    return ranges;
}

void WriteMark(BinaryStream& file, std::string_view bytes) {
    file.SetPosition(mapformat::kCompileMarkField);
    file.Write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    file.Flush();
}

// The mark goes to disk before any other change, and comes off only once every change is on disk:
// whatever a crash or a power loss leaves is the old map, the new one, or a marked map (with its
// journal, which undoes the compile). `unmarked` holds the header's bytes under the mark.
void ApplyInPlace(BinaryStream& file, WritePlan& plan, bool recordFixups, std::string_view unmarked) {
    WriteMark(file, mapformat::kCompileMark);
    PausePoint(pause::kMarked);
    const TailMove move = plan.Move();
    file.Reserve(move.NewLength());
    FlushBehind flushing(file.File());
    plan.result.wordsCorrected +=
        MoveTail(file, file, true, move, plan.Mover(), recordFixups ? &plan.result.fixups : nullptr, &flushing);
    flushing.Finish();
    WriteFields(file, plan);
    if (move.NewLength() < move.oldLength) file.SetLength(move.NewLength());
    file.Flush();
    WriteMark(file, unmarked);
    PausePoint(pause::kUnmarked);
}

// The result, with the tags the walk could not walk, and the words the scan listed attributed to
// the tags whose data holds them.
WriteResult Result(const HaloPcMap& map, WritePlan& plan) {
    if (plan.walked) {
        plan.walked->Finish();
        plan.result.fallbacks = plan.walked->Fallbacks();
    }
    const TagSpans spans(map, plan.a.insertionPoint, plan.a.growth, plan.a.newLength);
    spans.Attribute(plan.result.fixups);
    spans.Attribute(plan.result.leftAlone);
    return std::move(plan.result);
}

WriteResult WriteInPlace(const HaloPcMap& map, const ScriptCompilier& state, const BuiltScripts& built,
                         const ScriptArrangement& a, BinaryStream& file, const WriteOptions& options) {
    WritePlan plan = PlanWrite(file, map, state, built, a, options);
    file.SetPosition(mapformat::kCompileMarkField);
    const std::string unmarked = file.Read(mapformat::kCompileMark.size());
    if (!options.journal) {
        ApplyInPlace(file, plan, options.recordFixups, unmarked);
        return Result(map, plan);
    }
    RollbackJournal journal = RollbackJournal::Begin(file, *map.f, OverwrittenRanges(plan), plan.Move().NewLength());
    try {
        ApplyInPlace(file, plan, options.recordFixups, unmarked);
    } catch (const std::exception& e) {
        // An error part-way (a write refused, memory exhausted): put the saved bytes back now.
        try {
            journal.RollBack(file);
        } catch (const std::exception& again) {
            throw Error::InMap(std::string(e.what()) + "; undoing the partial compile failed too (" + again.what() +
                               "): the journal beside the map restores it when the map is next opened");
        }
        throw;
    }
    journal.Commit();
    return Result(map, plan);
}

WriteResult WriteToOutput(const HaloPcMap& map, const ScriptCompilier& state, const BuiltScripts& built,
                          const ScriptArrangement& a, BinaryStream& source, const WriteOptions& options) {
    const bool recordFixups = options.recordFixups;
    WritePlan plan = PlanWrite(source, map, state, built, a, options);
    const TailMove move = plan.Move();
    TemporaryFile temporary = TemporaryFile::Beside(*options.output, &*map.f);
    {
        BinaryStream target = BinaryStream::OpenAsBinaryFile(temporary.Path(), BinaryStream::Mode::ReadWrite);
        target.Reserve(move.NewLength());
        FlushBehind flushing(target.File());
        target.CopyFrom(source, 0, move.regionStart);
        flushing.Written(move.regionStart);
        plan.result.wordsCorrected +=
            MoveTail(source, target, false, move, plan.Mover(), recordFixups ? &plan.result.fixups : nullptr, &flushing);
        flushing.Finish();
        WriteFields(target, plan);
    }
    temporary.CommitTo(*options.output);
    return Result(map, plan);
}

}  // namespace

WriteResult WriteScriptData(const HaloPcMap& map, const ScriptCompilier& state, const BuiltScripts& built,
                            const ScriptArrangement& arrangement, BinaryStream& file, const WriteOptions& options) {
    if (options.output) return WriteToOutput(map, state, built, arrangement, file, options);
    return WriteInPlace(map, state, built, arrangement, file, options);
}

}  // namespace xsc

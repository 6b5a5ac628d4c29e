#include "names/MapNames.h"

#include <algorithm>

#include "engine/NameTables.h"
#include "map/HaloPcMap.h"
#include "names/NameResolution.h"
#include "names/NamesFormat.h"
#include "runtime/BinaryStream.h"
#include "runtime/Error.h"
#include "runtime/Int32.h"

namespace xsc {
namespace {

namespace nf = namesformat;
using engine::NamedBlockLayout;

// Why a block cannot be read: caught per block, kept in its NamedBlock.
struct Damage {
    std::string what;
};

// The bytes of a tag's data, as far as the map tells them.
struct Span {
    std::int64_t start = 0;
    std::int64_t end = 0;
    std::string owner;  // "the scenario's data"
};

NamedBlock Named(std::string block, std::string where) {
    NamedBlock named;
    named.block = std::move(block);
    named.where = std::move(where);
    return named;
}

// The elements a block field gives: where the first lies and how many there are.
struct Elements {
    std::int64_t first = 0;
    std::int32_t count = 0;
    std::int64_t size = 0;
};

}  // namespace

class MapNamesReader {
public:
    MapNamesReader(const HaloPcMap& map, BinaryStream& file, const engine::NameTables& tables, MapNames& out)
        : map_(map), file_(file), tables_(tables), out_(out) {}

    void Run() {
        ReadTags();
        const Span scenario = SpanOf(*map_.Scenario, "the scenario's data");
        for (const NamedBlockLayout* layout : tables_.NamedScenarioBlocks()) {
            NamedBlock block = Named(layout->block, "the scenario's " + SpokenName(layout->block) + " (scnr+" + Hex(layout->fieldOffset) + ")");
            Guard(block, [&] {
                if (scenario.end <= scenario.start) throw Damage{"the scenario's data is not in the file"};
                const Elements elements = ReadField(map_.Scenario->Offset, *layout, scenario, block.where);
                block.names = ReadNames(elements, *layout->nameOffset);
                if (layout->block == nf::kObjectNames) ReadPlacements(scenario, block);
                if (layout->block == nf::kEncounters) ReadEncounters(elements, scenario);
            });
            if (!block.Readable() && layout->block == nf::kObjectNames) out_.placements_.clear();
            if (!block.Readable() && layout->block == nf::kEncounters) out_.encounters_.clear();
            out_.blocks_.push_back(std::move(block));
        }
        ReadHudMessages();
        ReadNavpoints();
    }

private:
    template <typename Read>
    static void Guard(NamedBlock& block, Read read) {
        try {
            read();
        } catch (const Damage& d) {
            block.names.clear();
            block.error = d.what;
        } catch (const Error& e) {
            block.names.clear();
            block.error = e.what();
        }
    }

    void ReadTags() {
        out_.tags_.reserve(map_.TagCache.size());
        for (std::size_t i = 0; i < map_.TagCache.size(); ++i) {
            const Tag& t = *map_.TagCache[i];
            out_.tags_.push_back({static_cast<std::int32_t>(i), static_cast<std::uint32_t>(t.ident), {t.Class1, t.Class2, t.Class3}, t.Name});
        }
    }

    // A tag's data runs from its offset to the next tag's in file order (the end of the file for
    // the last); a tag whose data is not in the file has none.
    Span SpanOf(const Tag& tag, std::string owner) const {
        Span span{tag.Offset, tag.Offset, std::move(owner)};
        if (!map_.HasDataInFile(tag)) return span;
        span.end = file_.Length();
        for (const auto& other : map_.TagCache) {
            if (map_.HasDataInFile(*other) && other->Offset > tag.Offset) span.end = std::min<std::int64_t>(span.end, other->Offset);
        }
        return span;
    }

    // The block field at `parent` + the layout's offset, checked: the field inside the holder's
    // data, a count of at least 0, every element inside the holder's data.
    Elements ReadField(std::int64_t parent, const NamedBlockLayout& layout, const Span& span, const std::string& where) {
        const std::int64_t field = parent + layout.fieldOffset;
        if (field < span.start || field + nf::kBlockFieldSize > span.end) {
            throw Damage{where + ": the block field at " + Hex(field) + " lies outside " + span.owner + " (" + Hex(span.start) + " to " +
                         Hex(span.end) + ")"};
        }
        const std::int32_t count = file_.ReadInt32At(field + nf::kBlockCount, where + "'s count");
        const std::int32_t address = file_.ReadInt32At(field + nf::kBlockAddress, where + "'s address");
        if (count < 0) throw Damage{where + ": the block field at " + Hex(field) + " gives a negative count (" + std::to_string(count) + ")"};
        Elements elements{Wrap32(std::int64_t{address} - map_.Magic), count, layout.elementSize};
        if (count == 0) return elements;
        const std::int64_t end = elements.first + std::int64_t{count} * layout.elementSize;
        if (elements.first < span.start || end > span.end) {
            throw Damage{where + ": the block field at " + Hex(field) + " gives " + std::to_string(count) + " elements of " +
                         ByteCount(layout.elementSize) + " at address " + Hex(static_cast<std::uint32_t>(address)) + " (file offset " +
                         Hex(elements.first) + "), not all inside " + span.owner + " (" + Hex(span.start) + " to " + Hex(span.end) + ")"};
        }
        return elements;
    }

    std::string ReadName(std::int64_t at) {
        file_.SetPosition(at);
        std::string name = file_.Read(static_cast<std::size_t>(nf::kNameWidth));
        name.resize(std::min(name.find('\0'), name.size()));
        return name;
    }

    std::vector<std::string> ReadNames(const Elements& elements, std::int64_t nameOffset) {
        std::vector<std::string> names;
        names.reserve(static_cast<std::size_t>(elements.count));
        for (std::int32_t i = 0; i < elements.count; ++i) names.push_back(ReadName(elements.first + elements.size * i + nameOffset));
        return names;
    }

    // Which placements use each object name: an int16 index into object_names in each placement
    // (-1, or any index object_names lacks, names nothing).
    void ReadPlacements(const Span& scenario, const NamedBlock& objectNames) {
        out_.placements_.assign(objectNames.names.size(), {});
        for (const engine::SpawnBlockLayout& spawn : tables_.SpawnBlocks()) {
            const NamedBlockLayout layout{spawn.block, "scnr", spawn.fieldOffset, spawn.elementSize, std::nullopt, {}};
            const std::string where = "the scenario's " + SpokenName(spawn.block) + " (scnr+" + Hex(spawn.fieldOffset) + ")";
            const Elements placed = ReadField(map_.Scenario->Offset, layout, scenario, where);
            for (std::int32_t i = 0; i < placed.count; ++i) {
                file_.SetPosition(placed.first + placed.size * i + spawn.objectNameOffset);
                const std::int16_t name = file_.ReadInt16();
                if (name < 0 || static_cast<std::size_t>(name) >= out_.placements_.size()) continue;
                out_.placements_[static_cast<std::size_t>(name)].push_back(
                    {spawn.block, spawn.objectTypeCode, spawn.objectType, i, &spawn.valueTypes});
            }
        }
    }

    void ReadEncounters(const Elements& encounters, const Span& scenario) {
        const NamedBlockLayout& squads = tables_.Block(nf::kSquads);
        const NamedBlockLayout& platoons = tables_.Block(nf::kPlatoons);
        for (std::int32_t i = 0; i < encounters.count; ++i) {
            const std::int64_t element = encounters.first + encounters.size * i;
            const std::string where = "encounter " + std::to_string(i) + "'s ";
            Encounter e;
            e.squads = ReadNames(ReadField(element, squads, scenario, where + "squads (+" + Hex(squads.fieldOffset) + ")"), *squads.nameOffset);
            e.platoons =
                ReadNames(ReadField(element, platoons, scenario, where + "platoons (+" + Hex(platoons.fieldOffset) + ")"), *platoons.nameOffset);
            out_.encounters_.push_back(std::move(e));
        }
    }

    // The tag a 16-bit dependency names, by its tag ID; null for none. Throws Damage for an ID no
    // tag of the index has, or a tag of another class.
    const Tag* Dependency(std::int64_t at, const Span& span, std::string_view expectedClass, const std::string& what) {
        if (at < span.start || at + nf::kDependencyTagId + 4 > span.end) {
            throw Damage{what + " at " + Hex(at) + " lies outside " + span.owner};
        }
        const auto ident = static_cast<std::uint32_t>(file_.ReadInt32At(at + nf::kDependencyTagId, what));
        if (ident == nf::kNoTag) return nullptr;
        const auto found = map_.TagsByIdent.find(static_cast<std::int32_t>(ident));
        if (found == map_.TagsByIdent.end()) throw Damage{what + " at " + Hex(at) + " holds tag ID " + Hex(ident) + ", which no tag of the index has"};
        const Tag& tag = *map_.TagCache[static_cast<std::size_t>(found->second)];
        if (tag.Class1 != expectedClass) {
            throw Damage{what + " at " + Hex(at) + " names \"" + tag.Name + "\", a " + tag.Class1 + " tag, not " + std::string(expectedClass)};
        }
        return &tag;
    }

    // A named block of another tag: `holder`'s data, the block at the layout's offset.
    void ReadTagBlock(NamedBlock& block, const Tag& holder, const NamedBlockLayout& layout) {
        const Span span = SpanOf(holder, "the data of \"" + holder.Name + "\"");
        block.where = (layout.block == nf::kHudMessages ? "the messages of the hud message text tag \"" : "the waypoint arrows of the hud globals tag \"") +
                      holder.Name + "\" (" + holder.Class1.substr(0, holder.Class1.find(' ')) + "+" + Hex(layout.fieldOffset) + ")";
        if (span.end <= span.start) throw Damage{block.where + ": the tag's data is not in the file"};
        block.names = ReadNames(ReadField(holder.Offset, layout, span, block.where), *layout.nameOffset);
    }

    void ReadHudMessages() {
        NamedBlock block = Named(std::string(nf::kHudMessages),
                                 "the hud message text tag the scenario names (scnr+" + Hex(tables_.Block(nf::kHudMessagesTag).fieldOffset) + ")");
        Guard(block, [&] {
            const Span scenario = SpanOf(*map_.Scenario, "the scenario's data");
            const Tag* tag = Dependency(map_.Scenario->Offset + tables_.Block(nf::kHudMessagesTag).fieldOffset, scenario,
                                        nf::kHudMessageTextClass, "the scenario's hud message text reference");
            if (tag == nullptr) {
                block.absent = true;
                block.where = "the scenario names no hud message text tag (scnr+" + Hex(tables_.Block(nf::kHudMessagesTag).fieldOffset) + ")";
                return;
            }
            ReadTagBlock(block, *tag, tables_.Block(nf::kHudMessages));
        });
        out_.blocks_.push_back(std::move(block));
    }

    // The globals tag names the hud globals in element 0 of its interface bitmaps.
    void ReadNavpoints() {
        NamedBlock block = Named(std::string(nf::kWaypointArrows), "no globals tag (matg) names a hud globals tag");
        Guard(block, [&] {
            const auto globals = std::find_if(map_.TagCache.begin(), map_.TagCache.end(),
                                              [](const auto& t) { return t->Class1 == nf::kGlobalsClass; });
            if (globals == map_.TagCache.end()) {
                block.absent = true;
                return;
            }
            const Span span = SpanOf(**globals, "the data of \"" + (*globals)->Name + "\"");
            const NamedBlockLayout& bitmaps = tables_.Block(nf::kInterfaceBitmaps);
            const Elements elements = ReadField((*globals)->Offset, bitmaps, span, "the interface bitmaps of \"" + (*globals)->Name + "\"");
            if (elements.count == 0) {
                block.absent = true;
                return;
            }
            const Tag* hud = Dependency(elements.first + nf::kHudGlobalsDependency, span, nf::kHudGlobalsClass,
                                        "the hud globals reference of \"" + (*globals)->Name + "\"");
            if (hud == nullptr) {
                block.absent = true;
                return;
            }
            ReadTagBlock(block, *hud, tables_.Block(nf::kWaypointArrows));
        });
        out_.blocks_.push_back(std::move(block));
    }

    const HaloPcMap& map_;
    BinaryStream& file_;
    const engine::NameTables& tables_;
    MapNames& out_;
};

MapNames MapNames::Read(const HaloPcMap& map) {
    if (!map.f) throw Error("no map is loaded: load a map first");
    BinaryStream in = BinaryStream::OpenAsBinaryFile(*map.f, BinaryStream::Mode::ReadOnly);
    return Read(map, in);
}

MapNames MapNames::Read(const HaloPcMap& map, BinaryStream& file) { return Read(map, file, engine::NameTables::BuiltIn()); }

MapNames MapNames::Read(const HaloPcMap& map, BinaryStream& file, const engine::NameTables& tables) {
    MapNames names;
    if (!map.Scenario) throw Error("no map is loaded: load a map first");
    MapNamesReader(map, file, tables, names).Run();
    return names;
}

const NamedBlock* MapNames::Block(std::string_view block) const {
    for (const NamedBlock& b : blocks_) {
        if (b.block == block) return &b;
    }
    return nullptr;
}

}  // namespace xsc

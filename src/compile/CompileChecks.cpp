#include "compile/CompileChecks.h"

#include <algorithm>
#include <optional>
#include <string>

#include "xml/Decompile.h"
#include "common/DecodedScripts.h"
#include "map/HaloPcMap.h"
#include "map/TagLayouts.h"
#include "map/TagWalk.h"
#include "runtime/Int32.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/BinaryStream.h"
#include "runtime/Error.h"
#include "scriptdata/ReadScriptData.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {
namespace {

using namespace scriptformat;

// Whether the scripts of a string region of our shape are ours: the scenario has no globals but
// those of that region, and the node data reads exactly as this program writes it.
bool ScriptsAreOurs(BinaryStream& file, const HaloPcMap& map, const ScriptArrangement& arrangement, const MapNames* names) {
    const std::int32_t globals = file.ReadInt32At(std::int64_t{map.Scenario->Offset} + kGlobalsBlockField + kBlockCount,
                                                  "the scenario's globals count field");
    if (globals != 0 && arrangement.oldGlobals == 0) return false;
    try {
        // Values that name the map's things hold what the map's names give for their texts.
        std::optional<MapNames> read;
        if (!names) names = &read.emplace(MapNames::Read(map, file));
        const NameResolver resolver(*names);
        // The decompile reads any compiler's layout; only xsc's own, read strictly, is ours.
        const CompiledScriptData data = ReadScriptData(map, file);
        if (DecodeScriptData(data).layout != ScriptLayout::Xsc) return false;
        Decompile(data, &resolver);
    } catch (const Error&) {
        return false;
    }
    return true;
}

// The address fields of the scenario, found by the walk of its layout; when its layout cannot be
// walked, every word of its root struct that the layout would hold (the scripts and globals
// fields aside), so that an address is never missed.
std::vector<WalkedField> ScenarioAddresses(BinaryStream& file, const HaloPcMap& map) {
    WalkOptions options;
    options.record = true;
    options.onlyTag = 0;
    TagWalk walk = WalkTags(file, map, options);
    if (walk.fallbacks.empty()) return std::move(walk.fields);
    std::vector<WalkedField> words;
    const std::int64_t x = map.Scenario->Offset;
    const std::int64_t end = std::min<std::int64_t>(x + kScenarioStructSize, file.Length());
    for (std::int64_t at = x; at + 4 <= end; at += 4) {
        WalkedField word{WalkedField::Kind::BlockAddress, at, file.ReadInt32At(at, "a word of the scenario"), 0, "word +", 1};
        word.path.append(Hex(at - x));
        words.push_back(std::move(word));
    }
    return words;
}

// The old records of an official map are left where they are, unreferenced by the new scripts
// and globals fields. A scenario field other than those that still names bytes of them would
// then name records nothing keeps in step with the new scripts: refused, naming the field.
void CheckOldRecordsUnshared(BinaryStream& file, const HaloPcMap& map, const ScriptArrangement& a) {
    const std::int64_t x = a.scenario;
    const struct {
        OldRecords records;
        const char* what;
    } old[] = {{a.oldScripts, "script"}, {a.oldGlobalRecords, "global"}};
    for (const WalkedField& field : ScenarioAddresses(file, map)) {
        if (field.kind == WalkedField::Kind::FileOffset || field.extent == 0) continue;
        if (field.offset >= x + kNodeDataSizeField && field.offset < x + kGlobalsBlockField + taglayout::kBlockSize) continue;
        const std::int64_t at = Wrap32(std::int64_t{field.value} - map.Magic);
        for (const auto& o : old) {
            if (o.records.count == 0 || at < o.records.start || at >= o.records.End()) continue;
            throw Error::AtOffset("the scenario's " + (field.path.empty() ? std::string("field") : field.path) + " (at " +
                                      Hex(field.offset) + ") points into its old " + o.what + " records (" +
                                      Hex(o.records.start) + " to " + Hex(o.records.End()) +
                                      "), which a compile leaves behind unreferenced; this map's layout is not supported",
                                  field.offset);
        }
    }
}

}  // namespace

ScriptArrangement CheckBeforeWrite(BinaryStream& file, const HaloPcMap& map, const ScriptCompilier& state,
                                   const BuiltScripts& built, const MapNames* names) {
    // The shape of the string region first: its refusals say most precisely what is foreign.
    ScriptArrangement arrangement = CheckArrangement(file, map, state, built);
    if (arrangement.oldKind == OldRegion::Kind::Ours && !ScriptsAreOurs(file, map, arrangement, names)) {
        // Our shape, but not our nodes: the official tools lay strings and records out alike when
        // their texts end on a multiple of 4 and the records follow them.
        arrangement = CheckArrangement(file, map, state, built, RegionReading::AsOfficial);
    }
    if (arrangement.oldKind == OldRegion::Kind::Official) CheckOldRecordsUnshared(file, map, arrangement);
    return arrangement;
}

}  // namespace xsc

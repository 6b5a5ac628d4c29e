#include "mapgen/OfficialScripts.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <random>

#include "common/DecodedScripts.h"
#include "compile/BuildPhase.h"
#include "common/Diagnostic.h"
#include "compile/ScriptCheck.h"
#include "compile/ScriptLanguageChoice.h"
#include "map/HaloPcMap.h"
#include "mapgen/Random.h"
#include "mapgen/SyntheticFormat.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc::mapgen {
namespace {

namespace sf = scriptformat;
namespace syn = synthetic;

// The official compiler's node table: salts count up from the table name's first two bytes.
constexpr std::uint16_t kFirstSalt = 0x6373;
constexpr std::uint16_t kSaltHighBit = 0x8000;
constexpr std::uint32_t kNoNode = 0xFFFFFFFF;
// Node flags: primitive, script call, global, garbage collectable.
constexpr std::uint16_t kCallFlags = 0x0008;
constexpr std::uint16_t kScriptCallFlags = 0x000A;
constexpr std::uint16_t kPrimitiveFlags = 0x0009;
constexpr std::uint16_t kGlobalFlags = 0x000D;
constexpr std::uint16_t kFunctionNameType = 2;
constexpr std::uint16_t kVoidType = 4;
// The node table header (56 bytes).
constexpr std::int64_t kFirstFreeSlotField = 0x2C;
constexpr std::int64_t kSizeField = 0x2E;
constexpr std::int64_t kCountField = 0x30;
constexpr std::int64_t kNextSaltField = 0x32;
// The string data's all-zero tail, where texts of calls and numbers point.
constexpr std::int64_t kZeroTail = 1024;
// The slots a script's parsed form and header words held before they were freed.
constexpr std::int32_t kFreedPerScript = 4;

std::uint16_t SaltOf(std::int32_t allocation) {
    return static_cast<std::uint16_t>(kSaltHighBit | (kFirstSalt + allocation));
}

// A compiled expression as a tree: its node (as xsc's own layout holds it), text and arguments.
struct Expression {
    StoredNode node;
    std::optional<std::string> text;
    std::vector<Expression> arguments;
};

std::vector<Expression> Trees(const std::vector<WalkedNode>& body, const std::vector<std::optional<std::string>>& texts) {
    std::vector<Expression> top;
    std::vector<std::vector<Expression>*> open{&top};
    for (std::size_t i = 0; i < body.size(); ++i) {
        open.resize(static_cast<std::size_t>(body[i].depth) + 1);
        open.back()->push_back(Expression{body[i].node, texts[i], {}});
        if (sf::IsCallKind(body[i].node.expType)) open.push_back(&open.back()->back().arguments);
    }
    return top;
}

class OfficialLayout {
public:
    OfficialLayout(const MapOptions& options) : options_(options), random_(Random::ForPart(options.seed, 0x0FF1C1A1)) {
        slots_.assign(static_cast<std::size_t>(sf::kNodeSize) * static_cast<std::size_t>(options.slotCapacity), 0);
        Text("begin");
    }

    void Global(const DecodedGlobal& global) {
        const std::vector<Expression> value = Trees(global.walked.body, global.texts);
        const std::uint32_t root = value.empty() ? kNoNode : Emit(value.front(), false);
        std::vector<std::uint8_t> record(static_cast<std::size_t>(sf::kGlobalRecordSize), 0);
        global.name.copy(reinterpret_cast<char*>(record.data()), global.name.size());
        EncodeFixed16(record.data() + sf::kGlobalType, static_cast<std::uint16_t>(global.walked.record.type));
        EncodeFixed32(record.data() + sf::kGlobalInitialValue, root);
        data_.globalRecords.insert(data_.globalRecords.end(), record.begin(), record.end());
        ++data_.globals;
    }

    void Script(const DecodedScript& script) {
        if (data_.scripts % 2 == 0) Free(kFreedPerScript);
        const std::vector<Expression> body = Trees(script.walked.body, script.texts);
        const bool voidScript = script.walked.record.returnType == kVoidType;
        std::vector<std::uint32_t> statements;
        for (const Expression& e : body) statements.push_back(Emit(e, voidScript));
        Chain(statements);
        std::uint32_t root = 0;
        if (statements.size() == 1 && random_.Below(3) == 0) {
            root = statements.front();
        } else {
            const std::int32_t call = Allocate(), name = Allocate();
            Put(call, sf::kBeginEngineIdentity, static_cast<std::uint16_t>(script.walked.record.returnType), kCallFlags, kNoNode,
                std::nullopt, Id(name));
            Put(name, sf::kBeginEngineIdentity, kFunctionNameType, kPrimitiveFlags, statements.empty() ? kNoNode : statements.front(),
                0, 0);
            root = Id(call);
        }
        std::vector<std::uint8_t> record(static_cast<std::size_t>(sf::kRecordSize), 0);
        script.name.copy(reinterpret_cast<char*>(record.data()), script.name.size());
        EncodeFixed16(record.data() + sf::kRecordType, static_cast<std::uint16_t>(script.walked.record.type));
        EncodeFixed16(record.data() + sf::kRecordReturnType, static_cast<std::uint16_t>(script.walked.record.returnType));
        EncodeFixed32(record.data() + sf::kRecordRoot, root);
        data_.scriptRecords.insert(data_.scriptRecords.end(), record.begin(), record.end());
        ++data_.scripts;
    }

    OfficialScriptData Finish() {
        tailStart_ = static_cast<std::int64_t>(strings_.size());
        strings_.append(static_cast<std::size_t>(kZeroTail), '\0');
        // Texts of calls and numbers: somewhere in the zero tail, as the official compiler's are.
        for (const std::int32_t slot : textless_) {
            EncodeFixed32(SlotBytes(slot) + sf::kNodeStringOffset,
                          static_cast<std::uint32_t>(tailStart_ + static_cast<std::int64_t>(random_.Below(kZeroTail))));
        }
        data_.strings = std::move(strings_);
        data_.nodeData.assign(static_cast<std::size_t>(sf::kFirstSlot), 0);
        std::uint8_t* header = data_.nodeData.data();
        syn::kNodeTableName.copy(reinterpret_cast<char*>(header), syn::kNodeTableNameSize);
        EncodeFixed16(header + syn::kNodeCapacityField, static_cast<std::uint16_t>(options_.slotCapacity));
        EncodeFixed16(header + syn::kNodeSizeField, static_cast<std::uint16_t>(sf::kNodeSize));
        header[syn::kNodeOneField] = 1;
        syn::kNodeDataCode.copy(reinterpret_cast<char*>(header) + syn::kNodeDataCodeField, 4);
        EncodeFixed16(header + kFirstFreeSlotField, static_cast<std::uint16_t>(firstFree_.value_or(allocated_)));
        EncodeFixed16(header + kSizeField, static_cast<std::uint16_t>(allocated_));
        EncodeFixed16(header + kCountField, static_cast<std::uint16_t>(live_));
        EncodeFixed16(header + kNextSaltField, SaltOf(allocated_));
        data_.nodeData.insert(data_.nodeData.end(), slots_.begin(), slots_.end());
        return std::move(data_);
    }

private:
    std::uint8_t* SlotBytes(std::int32_t slot) { return slots_.data() + sf::kNodeSize * slot; }
    std::uint32_t Id(std::int32_t slot) const { return static_cast<std::uint32_t>(SaltOf(slot)) << 16 | static_cast<std::uint32_t>(slot); }

    std::int32_t Allocate() {
        if (allocated_ >= options_.slotCapacity) {
            throw Error("the official scripts need more than the " + std::to_string(options_.slotCapacity) + " node slots of the map");
        }
        return allocated_++;
    }

    // Slots that held what the compiler freed: salt 0, the rest stale (a list and its words).
    void Free(std::int32_t count) {
        for (std::int32_t k = 0; k < count; ++k) {
            const std::int32_t slot = Allocate();
            if (!firstFree_) firstFree_ = slot;
            std::uint8_t* p = SlotBytes(slot);
            EncodeFixed16(p + sf::kNodeEngineIdentity, 0xFFFF);
            EncodeFixed16(p + sf::kNodeValueType, k == 0 ? 1 : 0);
            EncodeFixed16(p + sf::kNodeExpType, k == 0 ? 0 : 1);
            EncodeFixed32(p + sf::kNodeSibling, k + 1 < count ? Id(slot + 1) : kNoNode);
            EncodeFixed32(p + sf::kNodeChildOrValue, k == 0 ? Id(slot + 1) : 0);
        }
    }

    // `stringOffset`: none for a node without a text, whose offset is drawn into the zero tail at
    // the end.
    void Put(std::int32_t slot, std::int32_t index, std::uint16_t type, std::uint16_t flags, std::uint32_t next,
             std::optional<std::int64_t> stringOffset, std::uint32_t value) {
        if (!stringOffset) textless_.push_back(slot);
        std::uint8_t* p = SlotBytes(slot);
        EncodeFixed16(p + sf::kNodeExpIdentity, SaltOf(slot));
        EncodeFixed16(p + sf::kNodeEngineIdentity, static_cast<std::uint16_t>(index));
        EncodeFixed16(p + sf::kNodeValueType, type);
        EncodeFixed16(p + sf::kNodeExpType, flags);
        EncodeFixed32(p + sf::kNodeSibling, next);
        EncodeFixed32(p + sf::kNodeStringOffset, static_cast<std::uint32_t>(stringOffset.value_or(0)));
        EncodeFixed32(p + sf::kNodeChildOrValue, value);
        ++live_;
    }

    // The offset of a text, stored once.
    std::int64_t Text(const std::string& text) {
        const auto [at, added] = texts_.emplace(text, static_cast<std::int64_t>(strings_.size()));
        if (added) strings_.append(text).push_back('\0');
        return at->second;
    }

    void SetNext(std::uint32_t id, std::uint32_t next) { EncodeFixed32(SlotBytes(static_cast<std::int32_t>(id & 0xFFFF)) + sf::kNodeSibling, next); }

    void Chain(const std::vector<std::uint32_t>& ids) {
        for (std::size_t i = 0; i + 1 < ids.size(); ++i) SetNext(ids[i], ids[i + 1]);
    }

    // Lays out an expression depth first: a call node, its name node, its arguments. Returns its ID.
    std::uint32_t Emit(const Expression& e, bool statementOfVoidScript) {
        const StoredNode& n = e.node;
        const std::int32_t slot = Allocate();
        const std::string text = e.text.value_or(std::string());
        switch (n.expType) {
            case sf::kExpTypeCall:
            case sf::kExpTypeScriptCall: {
                const std::int32_t name = Allocate();
                const std::int64_t nameText = Text(text);  // texts in order of first use: the name before the arguments
                const std::uint16_t type = statementOfVoidScript ? kVoidType : static_cast<std::uint16_t>(n.valueType);
                Put(slot, n.engine, type, n.expType == sf::kExpTypeCall ? kCallFlags : kScriptCallFlags, kNoNode, std::nullopt,
                    Id(name));
                std::vector<std::uint32_t> arguments;
                for (const Expression& a : e.arguments) arguments.push_back(Emit(a, false));
                Chain(arguments);
                Put(name, n.engine, kFunctionNameType, kPrimitiveFlags, arguments.empty() ? kNoNode : arguments.front(), nameText, 0);
                break;
            }
            case sf::kExpTypeGlobal:
                Put(slot, static_cast<std::uint16_t>(n.valueType), static_cast<std::uint16_t>(n.valueType), kGlobalFlags, kNoNode,
                    Text(text), n.childOrValue);
                break;
            default:
                Put(slot, n.engine, static_cast<std::uint16_t>(n.valueType), kPrimitiveFlags, kNoNode,
                    e.text ? std::optional<std::int64_t>(Text(text)) : std::nullopt, n.childOrValue);
                break;
        }
        return Id(slot);
    }

    const MapOptions& options_;
    Random random_;
    OfficialScriptData data_;
    std::vector<std::uint8_t> slots_;
    std::string strings_;
    std::map<std::string, std::int64_t> texts_;
    std::vector<std::int32_t> textless_;
    std::int64_t tailStart_ = 0;
    std::int32_t allocated_ = 0;
    std::int32_t live_ = 0;
    std::optional<std::int32_t> firstFree_;
};

// The names the generated map holds, read back as a compile reads them.
class NamesOfFreshMap {
public:
    explicit NamesOfFreshMap(const MapOptions& options) {
        MapOptions fresh = options;
        fresh.officialScripts = 0;
        fresh.officialSource.clear();
        std::random_device entropy;
        path_ = std::filesystem::temp_directory_path() /
                ("xsc-mkmap-names-" + std::to_string(options.seed) + "-" + std::to_string(entropy()) + ".map");
        WriteMap(path_, fresh);
        HaloPcMap map;
        map.LoadMap(path_);
        names_ = MapNames::Read(map);
    }
    ~NamesOfFreshMap() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    NamesOfFreshMap(const NamesOfFreshMap&) = delete;
    NamesOfFreshMap& operator=(const NamesOfFreshMap&) = delete;
    const MapNames& Names() const { return names_; }

private:
    std::filesystem::path path_;
    MapNames names_;
};

std::string Pick(std::mt19937_64& rng, const std::vector<std::string>& choices) {
    return choices[std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(rng)];
}

std::string Statement(std::mt19937_64& rng, std::int32_t script, const std::vector<std::string>& called,
                      const std::vector<std::string>& woken) {
    const std::string n = std::to_string(std::uniform_int_distribution<int>(1, 600)(rng));
    switch (std::uniform_int_distribution<int>(0, 11)(rng)) {
        case 0: return "(camera_set " + Pick(rng, {"uicam", "intro_cam_1", "intro_cam_2", "point_2"}) + " " + n + ")";
        case 1: return "(sleep " + n + ")";
        case 2: return woken.empty() ? "(sleep 30)" : "(wake " + Pick(rng, woken) + ")";
        case 3: return called.empty() ? "(cinematic_start)" : "(" + Pick(rng, called) + ")";
        case 4: return "(sound_impulse_start \"sound\\sfx\\alarm\" " + Pick(rng, {"crate_1", "player_truck", "marine_sarge"}) + " 1)";
        case 5: return "(effect_new \"effects\\explosions\\large explosion\" " + Pick(rng, {"intro_flag", "exit_flag"}) + ")";
        case 6: return "(ai_place " + Pick(rng, {"enc_wave_1", "enc_wave_2", "enc_wave_1/left_flank", "enc_marines/riflemen"}) + ")";
        case 7: return "(object_create " + Pick(rng, {"switch_a", "crate_1", "puzzle_door"}) + ")";
        case 8: return "(sleep_until (volume_test_objects " + Pick(rng, {"tv_bridge", "tv_courtyard"}) + " (players)) 15)";
        case 9: return "(if (> g_count_" + std::to_string(script % 2) + " 2) (set g_count_" + std::to_string(script % 2) +
                       " (+ g_count_" + std::to_string(script % 2) + " 1)))";
        case 10: return "(sleep rasterizer_refresh_rate)";
        default: return "(print \"wave " + n + "\")";
    }
}


// xsc's own compile, through which the trees are made, reaches 7,309 slots at most (the slot
// whose identity is 0): the generated scripts are compiled in chunks, each with the statements of
// its own scripts and a placeholder statement in the others (the same scripts, so the same numbers).
constexpr std::int32_t kScriptsPerChunk = 60;
constexpr const char* kPlaceholder = "(sleep 1)";

// The scripts of OfficialSource, with the statements of those outside [first, last) replaced by
// the placeholder.
std::string ChunkSource(std::uint64_t seed, std::int32_t scripts, std::int32_t first, std::int32_t last) {
    std::mt19937_64 rng(seed);
    std::string text = "(global short g_count_0 3)\n(global short g_count_1 (+ g_count_0 2))\n(global real g_delay 1.5)\n"
                       "(global boolean g_done false)\n";
    std::vector<std::string> called, woken;
    for (std::int32_t s = 0; s < scripts; ++s) {
        const std::string name = "script_" + std::to_string(s);
        const int kind = s == 0 ? 0 : std::uniform_int_distribution<int>(0, 3)(rng);
        static const char* const kinds[] = {"static void", "dormant", "continuous", "startup"};
        text += std::string("\n(script ") + kinds[kind] + " " + name;
        const int statements = s == 0 ? 1 : std::uniform_int_distribution<int>(1, 14)(rng);
        std::string body;
        for (int k = 0; k < statements; ++k) body += "\n  " + Statement(rng, s, called, woken);
        text += (s >= first && s < last ? body : std::string("\n  ") + kPlaceholder) + "\n)\n";
        if (kind == 0) called.push_back(name);
        if (kind == 1) woken.push_back(name);
    }
    return text;
}

// The trees of a source text, as xsc's compile builds them with the map's names.
DecodedScriptData CompiledTrees(const std::string& source, const NameResolver& resolver) {
    CheckOptions check;
    check.names = &resolver;
    CheckedScript checked = CheckScriptText(source, ScriptLanguage::Source, check);
    for (const Diagnostic& d : checked.diagnostics) {
        if (d.severity == Diagnostic::Severity::Error) {
            throw Error("the official scripts do not compile: " + std::to_string(d.line) + ":" + std::to_string(d.column) + ": " + d.message);
        }
    }
    ScriptCompilier state;
    const BuiltScripts built = BuildPhase(state, *checked.document, &resolver);
    return DecodeScriptData(BuiltScriptData(state, built));
}

}  // namespace

std::string OfficialSource(std::uint64_t seed, std::int32_t scripts) { return ChunkSource(seed, scripts, 0, scripts); }

OfficialScriptData MakeOfficialScripts(const MapOptions& options) {
    if (!options.names) throw Error("official scripts need a map with names (--names)");
    const NamesOfFreshMap fresh(options);
    const NameResolver resolver(fresh.Names());
    DecodedScriptData trees;
    if (!options.officialSource.empty()) {
        trees = CompiledTrees(options.officialSource, resolver);
    } else {
        for (std::int32_t first = 0; first == 0 || first < options.officialScripts; first += kScriptsPerChunk) {
            const std::int32_t last = std::min(first + kScriptsPerChunk, options.officialScripts);
            DecodedScriptData chunk = CompiledTrees(ChunkSource(options.seed, options.officialScripts, first, last), resolver);
            if (first == 0) trees.globals = std::move(chunk.globals);
            for (std::int32_t s = first; s < last; ++s) trees.scripts.push_back(std::move(chunk.scripts[static_cast<std::size_t>(s)]));
        }
    }
    OfficialLayout layout(options);
    for (const DecodedGlobal& g : trees.globals) layout.Global(g);
    for (const DecodedScript& s : trees.scripts) layout.Script(s);
    return layout.Finish();
}

}  // namespace xsc::mapgen

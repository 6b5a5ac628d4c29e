#include "ReferenceCompile.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <set>

#include "runtime/Val.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc::robust {
namespace {

// Numbers of the format, written out here rather than taken from the code under test.
constexpr std::int64_t kDaehIndexOffset = 0x10, kAlternateIndexOffset = 0x5EC;
// The header's file size and tag data size, and the game's limits for them.
constexpr std::int64_t kDaehSizes[2] = {0x08, 0x14}, kAlternateSizes[2] = {0x5E8, 0x2C4};
constexpr std::int64_t kSizeLimits[2] = {0x18000000, 0x1700000};
constexpr std::int64_t kTagEntries = 0x28, kEntrySize = 32, kEntryData = 0x14;
constexpr std::int64_t kNodeDataSize = 0x474, kNodeDataAddress = 0x480;
constexpr std::int64_t kStringDataSize = 0x488, kStringDataAddress = 0x494;
constexpr std::int64_t kScriptCount = 0x49C, kScriptRecords = 0x4A0, kBehindStrings = 0x5A8, kGlobals = 0x4A8;
constexpr std::int64_t kFirstSlot = 56, kSlotSize = 20, kRecordSize = 92;
constexpr std::int64_t kZeroIdentitySlot = 7309;  // 0xE373 + 7309 = 0x10000

std::int32_t Wrap(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

bool SameWord(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

// A file as a byte vector: reads must lie inside it; writes may extend it (with zeros between)
// only while `writesMayGrow`, since a compile grows the file by its one big write alone.
struct ModelFile {
    explicit ModelFile(Bytes bytes) : b(std::move(bytes)) {}
    Bytes b;
    bool writesMayGrow = false;
    std::string failure;

    std::int64_t Length() const { return static_cast<std::int64_t>(b.size()); }
    bool Inside(std::int64_t at, std::int64_t n) const { return at >= 0 && n >= 0 && at + n <= Length(); }
    void Fail(const char* verb, const char* what) {
        if (failure.empty()) failure = std::string(verb) + " " + what + " outside the file";
    }
    std::int32_t Read32(std::int64_t at, const char* what) {
        if (!Inside(at, 4)) return Fail("reads", what), 0;
        const auto* p = b.data() + at;
        return Wrap(p[0] | (p[1] << 8) | (p[2] << 16) | (std::int64_t{p[3]} << 24));
    }
    void Write(std::int64_t at, const std::uint8_t* data, std::size_t n, const char* what) {
        if (at < 0 || (!writesMayGrow && !Inside(at, static_cast<std::int64_t>(n)))) return Fail("writes", what);
        b.resize(std::max(b.size(), static_cast<std::size_t>(at) + n), 0);
        std::copy(data, data + n, b.begin() + at);
    }
    void WriteLe(std::int64_t at, std::int64_t v, std::size_t n, const char* what) {
        std::uint8_t bytes[4];
        for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i));
        Write(at, bytes, n, what);
    }
};

// The scenario blocks whose element index a value of these types stores, written out here: the
// reflexive's offset in the scenario, the element size and where the 32-byte name lies.
struct NamedBlockOf {
    std::vector<int> types;
    std::int64_t field, element, name;
};
const NamedBlockOf kNamedBlocks[] = {
    {{11}, 0x360, 96, 4},          {{12}, 0x4E4, 92, 4},  {{13}, 0x4F0, 104, 4}, {{14}, 0x4FC, 96, 4},
    {{15}, 0x36C, 64, 0},          {{16}, 0x288, 52, 0},  {{18}, 0x438, 96, 0},  {{20}, 0x468, 116, 0},
    {{23, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48}, 0x204, 36, 0},
};

const NamedBlockOf* BlockNamedBy(int type) {
    for (const NamedBlockOf& b : kNamedBlocks) {
        if (std::find(b.types.begin(), b.types.end(), type) != b.types.end()) return &b;
    }
    return nullptr;
}

struct ScriptShape {
    std::string name;
    std::int32_t type, returnType;
    std::int64_t bodyNodes = 0;  // two per call, one per value or global
};

// A scenario global: a "ScenarioGlobal" child of the root without a script's attributes, one
// expression, its initial value.
struct GlobalShape {
    std::string name;
    std::int32_t type;
    std::int64_t bodyNodes = 0;
};

bool IsGlobal(const XmlNode& child) {
    return child.IsElement() && SameWord(child.Name, "ScenarioGlobal") && !child.HasAttribute("NameAttr") &&
           !child.HasAttribute("TypeAttr") && !child.HasAttribute("ReTypeAttr");
}

// What the document asks for, counted without the compiler's code.
struct DocumentShape {
    std::vector<ScriptShape> scripts;
    std::vector<GlobalShape> globals;
    std::string refusal;  // why a compile must refuse the document; empty when acceptable
    std::int64_t slots = 0, realNodes = 0;
};

// Counts one script's body iteratively (documents may nest deeply). A call of a script, and a
// script value (type 10), must name one of `scripts`.
void CountBody(const XmlNode& script, const std::set<std::string>& scripts, ScriptShape& shape, std::string& refusal) {
    std::vector<const XmlNode*> pending(script.Children.begin(), script.Children.end());
    const auto names = [&](const XmlNode& node, const char* attribute) {
        if (!scripts.count(node.GetAttribute(attribute))) refusal = "a name that no script has";
    };
    while (!pending.empty()) {
        const XmlNode& node = *pending.back();
        pending.pop_back();
        if (!node.IsElement()) {
            refusal = "text where an expression may stand";
        } else if (SameWord(node.Name, "ScriptCommand")) {
            shape.bodyNodes += 2;
            pending.insert(pending.end(), node.Children.begin(), node.Children.end());
        } else if (SameWord(node.Name, "ScriptValue") || SameWord(node.Name, "GlobalValue") ||
                   SameWord(node.Name, "GlobalReference") || SameWord(node.Name, "ScriptCall")) {
            const bool call = SameWord(node.Name, "ScriptCall");
            shape.bodyNodes += call ? 2 : 1;
            if (node.ChildCount() != 0) refusal = "a value element with children";
            if (call) names(node, "Script");
            if (SameWord(node.Name, "ScriptValue") && NumberAttribute(node.GetAttribute("ValueType")) == 10) names(node, "Value");
        } else {
            refusal = "unknown element \"" + node.Name + "\"";
        }
    }
}

DocumentShape ShapeOf(const XmlDocument& document) {
    DocumentShape shape;
    const XmlNode* root = document.DocumentElement();
    if (root == nullptr) return {{}, {}, "no root element"};
    std::set<std::string> scripts;
    for (const XmlNode* child : root->Children) {
        if (child->IsElement() && !IsGlobal(*child)) scripts.insert(child->GetAttribute("NameAttr"));
    }
    for (const XmlNode* child : root->Children) {
        if (!child->IsElement()) {
            shape.refusal = "text where scripts stand";
            continue;
        }
        if (IsGlobal(*child)) {
            ScriptShape body{};
            CountBody(*child, scripts, body, shape.refusal);
            if (child->ChildCount() != 1) shape.refusal = "a global without one initial value";
            shape.globals.push_back({child->GetAttribute("Name"), NumberAttribute(child->GetAttribute("ValueType")), body.bodyNodes});
            continue;
        }
        ScriptShape s{child->GetAttribute("NameAttr"), NumberAttribute(child->GetAttribute("TypeAttr")),
                      NumberAttribute(child->GetAttribute("ReTypeAttr"))};
        CountBody(*child, scripts, s, shape.refusal);
        shape.slots += 4 + s.bodyNodes + 3;
        shape.realNodes += s.bodyNodes + 2;
        shape.scripts.push_back(std::move(s));
    }
    for (const GlobalShape& g : shape.globals) {
        shape.slots += g.bodyNodes;
        shape.realNodes += g.bodyNodes;
    }
    if (shape.scripts.size() > 512 || shape.globals.size() > 128) shape.refusal = "more scripts or globals than the engine holds";
    return shape;
}

// Each script takes four fillers, its body, the begin call and name, and a trailing filler; each
// global's initial value follows them all. Lays out the records (name, types, root slot and
// identity) and the global records (name, type, initial value's slot and identity); returns why
// the compile must be refused.
std::string PlanRecords(const DocumentShape& shape, std::int64_t capacity, Bytes& records, Bytes& globals) {
    std::int64_t first = 0;
    for (const ScriptShape& s : shape.scripts) {
        if (s.name.size() >= 32) return "a script name of " + std::to_string(s.name.size()) + " bytes";
        const std::int64_t root = first + 4 + s.bodyNodes;
        // Real nodes take the slots from first + 4 to root + 1; none may get identity 0.
        for (std::int64_t slot = kZeroIdentitySlot; slot <= root + 1; slot += 65536) {
            if (slot >= first + 4) return "a real node in slot " + std::to_string(slot) + " (identity 0)";
        }
        ModelFile r(Bytes(kRecordSize, 0));
        r.Write(0, reinterpret_cast<const std::uint8_t*>(s.name.data()), s.name.size(), "the name");
        r.WriteLe(0x20, s.type, 2, "the type");
        r.WriteLe(0x22, s.returnType, 2, "the return type");
        r.WriteLe(0x24, root, 2, "the root slot");
        r.WriteLe(0x26, 0xE373 + root, 2, "the root identity");
        records.insert(records.end(), r.b.begin(), r.b.end());
        first = root + 3;
    }
    for (const GlobalShape& g : shape.globals) {
        if (g.name.size() >= 32) return "a global name of " + std::to_string(g.name.size()) + " bytes";
        for (std::int64_t slot = kZeroIdentitySlot; slot < first + g.bodyNodes; slot += 65536) {
            if (slot >= first) return "a real node in slot " + std::to_string(slot) + " (identity 0)";
        }
        ModelFile r(Bytes(kRecordSize, 0));
        r.Write(0, reinterpret_cast<const std::uint8_t*>(g.name.data()), g.name.size(), "the name");
        r.WriteLe(0x20, g.type, 2, "the type");
        r.WriteLe(0x28, first, 2, "the initial value's slot");
        r.WriteLe(0x2A, 0xE373 + first, 2, "the initial value's identity");
        globals.insert(globals.end(), r.b.begin(), r.b.end());
        first += g.bodyNodes;
    }
    if (shape.slots > capacity) {
        return std::to_string(shape.slots) + " slots for a node data with room for " + std::to_string(capacity);
    }
    return {};
}

// The value a name stores, read from the map's bytes: the index of the first element of the
// block whose name equals it in any letter case; all ones for "none". Empty when the block's
// elements do not lie in the file or no element has the name.
std::optional<std::uint32_t> NamedIndex(ModelFile& file, std::int64_t scenario, std::int32_t magic, const NamedBlockOf& block,
                                        const std::string& name) {
    if (SameWord(name, "none")) return 0xFFFFFFFF;
    const std::int32_t count = file.Read32(scenario + block.field, "a reflexive's count");
    const std::int64_t first = Wrap(std::int64_t{file.Read32(scenario + block.field + 4, "a reflexive's address")} - magic);
    if (!file.failure.empty() || count < 0 || !file.Inside(first, block.element * count)) return std::nullopt;
    for (std::int32_t i = 0; i < count; ++i) {
        const auto at = file.b.begin() + first + block.element * i + block.name;
        const std::string element(at, std::find(at, at + 32, 0));
        if (SameWord(element, name)) return static_cast<std::uint32_t>(i);
    }
    return std::nullopt;
}

// Each "ScriptValue" that names a scenario element must hold, in the build's node, the index the
// map gives its name. Slots are counted as the compile appends nodes: per script four fillers,
// then the body depth first in document order, then the begin nodes and a filler; after the last
// script, each global's initial value alone.
std::string CheckNamedValues(ModelFile& file, std::int64_t scenario, std::int32_t magic, const XmlDocument& document,
                             const ScriptCompilier& state) {
    std::int64_t slot = 0;
    std::vector<const XmlNode*> order;
    for (const bool globals : {false, true}) {
        for (const XmlNode* child : document.DocumentElement()->Children) {
            if (IsGlobal(*child) == globals) order.push_back(child);
        }
    }
    for (const XmlNode* script : order) {
        const bool global = IsGlobal(*script);
        slot += global ? 0 : 4;
        std::vector<const XmlNode*> pending(script->Children.rbegin(), script->Children.rend());
        while (!pending.empty()) {
            const XmlNode& node = *pending.back();
            pending.pop_back();
            const bool value = SameWord(node.Name, "ScriptValue");
            const NamedBlockOf* block = value ? BlockNamedBy(NumberAttribute(node.GetAttribute("ValueType"))) : nullptr;
            if (block != nullptr) {
                const std::string name = node.GetAttribute("Value");
                const std::optional<std::uint32_t> index = NamedIndex(file, scenario, magic, *block, name);
                if (!index) return "a name the map's block does not hold: \"" + name + "\"";
                const auto* field = state.SyntaxBlock.Data() + slot * kSlotSize + 16;
                const std::uint32_t stored = field[0] | field[1] << 8 | field[2] << 16 | static_cast<std::uint32_t>(field[3]) << 24;
                if (stored != *index) return "the name \"" + name + "\" stored as " + std::to_string(stored) + ", the map gives " + std::to_string(*index);
            }
            const bool twoNodes = SameWord(node.Name, "ScriptCommand") || SameWord(node.Name, "ScriptCall");
            slot += twoNodes ? 2 : 1;
            if (SameWord(node.Name, "ScriptCommand")) pending.insert(pending.end(), node.Children.rbegin(), node.Children.rend());
        }
        slot += global ? 0 : 3;
    }
    return {};
}

}  // namespace

std::string ReferenceCompile(const Bytes& old, const XmlDocument& document, const ScriptCompilier& state, Bytes& out,
                             bool official) {
    const DocumentShape shape = ShapeOf(document);
    if (!shape.refusal.empty()) return "the document has " + shape.refusal;
    ModelFile file(old);

    // The header and index, read the way the loader reads them.
    if (file.Length() < 4) return "the file is too short for a header";
    const bool daeh = SameWord(std::string(old.begin(), old.begin() + 4), "daeh");
    const std::int64_t indexOffset = file.Read32(daeh ? kDaehIndexOffset : kAlternateIndexOffset, "the index offset");
    const std::int32_t mapMagic = file.Read32(indexOffset, "MapMagic");
    const std::int32_t tagCount = file.Read32(indexOffset + 0x0C, "TagCount");
    const std::int32_t tagOffset = Wrap(indexOffset + kTagEntries);
    const std::int32_t magic = Wrap(std::int64_t{mapMagic} - tagOffset);
    if (!file.failure.empty()) return file.failure;
    if (tagCount < 2) return "a tag index of " + std::to_string(tagCount) + " entries";
    if (!file.Inside(tagOffset, kEntrySize * std::int64_t{tagCount})) return "a tag index outside the file";
    const std::int64_t x = Wrap(std::int64_t{file.Read32(tagOffset + kEntryData, "tag 0's data address")} - magic);
    const std::int64_t scanStart =
        Wrap(std::int64_t{file.Read32(tagOffset + kEntrySize + kEntryData, "tag 1's data address")} - magic);

    // The script fields, read before the build.
    const std::int32_t nodeDataSize = file.Read32(x + kNodeDataSize, "the node data size");
    const std::int64_t scriptNode = Wrap(std::int64_t{file.Read32(x + kNodeDataAddress, "the node data address")} - magic + 0x24);
    const std::int32_t stringSize = file.Read32(x + kStringDataSize, "the string data size");
    const std::int64_t scriptTable = Wrap(std::int64_t{file.Read32(x + kStringDataAddress, "the string data address")} - magic);
    if (!file.failure.empty()) return file.failure;

    // The old region: a fresh map's 1024 zero bytes, what an earlier compile of ours wrote, or the
    // string data alone of the game's tools (whose records stay behind, unreferenced).
    auto byteAt = [&](std::int64_t at) { return at >= 0 && at < file.Length() ? int{old[static_cast<std::size_t>(at)]} : -1; };
    bool begins = stringSize >= 6;
    for (int i = 0; begins && i < 6; ++i) begins = byteAt(scriptTable + i) == "begin"[i];  // "begin" and its zero
    std::int64_t oldRegion = stringSize;
    std::int32_t oldGlobals = 0;
    if (stringSize != 1024 || begins) {
        const std::int64_t texts = std::int64_t{stringSize} - 1024;
        const std::int64_t pad = (4 - texts % 4) % 4;
        const std::int32_t scripts = file.Read32(x + kScriptCount, "the script count");
        const std::int64_t records = Wrap(std::int64_t{file.Read32(x + kScriptRecords, "the records address")} - magic);
        if (!file.failure.empty()) return file.failure;
        const std::int64_t end = scriptTable + stringSize + pad + kRecordSize * std::int64_t{scripts};
        bool ours = !official && texts >= 6 && begins;
        for (std::int64_t at = scriptTable + stringSize - 1024; ours && at < scriptTable + stringSize; ++at) ours = byteAt(at) == 0;
        for (std::int64_t at = scriptTable + stringSize; ours && at < scriptTable + stringSize + pad; ++at) ours = byteAt(at) == 0xFF;
        ours = ours && scripts >= 0 && scripts <= 65536 && records == scriptTable + stringSize + pad && end <= file.Length() &&
               scanStart >= end;
        if (ours) {
            // Global records of ours follow the script records.
            const std::int32_t g = file.Read32(x + kGlobals, "the globals count");
            const std::int64_t gAt = Wrap(std::int64_t{file.Read32(x + kGlobals + 4, "the globals address")} - magic);
            if (g > 0 && g <= 65536 && gAt == end && end + kRecordSize * g <= file.Length() && scanStart >= end + kRecordSize * g) {
                oldGlobals = g;
            }
            oldRegion = end + kRecordSize * oldGlobals - scriptTable;
        } else {
            official = true;
            if (!begins || byteAt(scriptTable + stringSize - 1) != 0 || scanStart < scriptTable + stringSize) {
                return "a string data size of " + std::to_string(stringSize) + " that neither we nor the game's tools left";
            }
        }
    }
    Bytes records, globals;
    const std::int64_t capacity = nodeDataSize < kFirstSlot ? -1 : (std::int64_t{nodeDataSize} - kFirstSlot) / kSlotSize;
    if (std::string why = PlanRecords(shape, capacity, records, globals); !why.empty()) return why;
    const std::int64_t l = state.LengthIntoStrings;
    if (l + 1024 > 262144) return "more string data than the engine reads";
    const std::int64_t g = static_cast<std::int64_t>(shape.globals.size());
    const bool writesGlobals = g > 0 || oldGlobals > 0 || official;
    if (static_cast<std::int64_t>(state.StrBlock.Size()) < l) return "fewer string bytes than LengthIntoStrings";
    if (static_cast<std::int64_t>(state.SyntaxBlock.Size()) != shape.slots * kSlotSize) {
        return "the build made " + std::to_string(state.SyntaxBlock.Size() / kSlotSize) + " slots; the document asks for " +
               std::to_string(shape.slots);
    }
    if (std::string why = CheckNamedValues(file, x, magic, document, state); !why.empty()) return why;
    const std::int64_t pad = (4 - l % 4) % 4;
    const std::int64_t n = static_cast<std::int64_t>(shape.scripts.size());
    const std::int64_t growth = l + 1024 + pad + kRecordSize * (n + g) - oldRegion;
    const std::int64_t p = scriptTable + oldRegion;
    if (p < 0 || p > file.Length() || scriptTable < 0) return "string data outside the file";
    if (file.Length() + growth > 0x7FFFFFFF) return "a result beyond 2^31 - 1 bytes";
    const std::int64_t* sizeFields = daeh ? kDaehSizes : kAlternateSizes;
    std::int64_t sizes[2] = {};
    for (int i = 0; i < 2; ++i) {
        sizes[i] = file.Read32(sizeFields[i], "a header size field");
        if (sizes[i] <= kSizeLimits[i] && sizes[i] + growth > kSizeLimits[i]) return "a header size past the game's limit";
    }
    if (!file.failure.empty()) return file.failure;

    // The write phase: the fields, the slots, then strings, zeros, padding, records and the tail.
    file.WriteLe(x + kStringDataSize, l + 1024, 4, "the string data size");
    file.WriteLe(x + kScriptCount, n, 4, "the script count");
    file.WriteLe(x + kScriptRecords, scriptTable + l + 1024 + pad + magic, 4, "the records address");
    if (writesGlobals) {
        file.WriteLe(x + kGlobals, g, 4, "the globals count");
        file.WriteLe(x + kGlobals + 4, g == 0 ? 0 : scriptTable + l + 1024 + pad + kRecordSize * n + magic, 4, "the globals address");
    }
    file.WriteLe(scriptNode + 10, shape.slots - 1, 2, "the slot count");
    file.WriteLe(scriptNode + 12, shape.realNodes, 2, "the real node count");
    file.WriteLe(scriptNode + 14, 0xE373 + shape.slots - 1, 2, "the last identity");
    file.WriteLe(scriptNode + 16, 0, 4, "the node data header");
    file.Write(scriptNode + 0x14, state.SyntaxBlock.Data(), state.SyntaxBlock.Size(), "the node slots");
    if (official) {
        // The official table's slots in use (its 16-bit size) behind ours become free: zero.
        const std::int64_t used = std::min<std::int64_t>(byteAt(scriptNode + 10) | byteAt(scriptNode + 11) << 8, capacity);
        const Bytes zeros(static_cast<std::size_t>(std::max<std::int64_t>(used - shape.slots, 0) * kSlotSize), 0);
        file.Write(scriptNode + 0x14 + shape.slots * kSlotSize, zeros.data(), zeros.size(), "the stale slots");
    }
    Bytes region(state.StrBlock.Data(), state.StrBlock.Data() + l);
    region.insert(region.end(), 1024, 0);
    region.insert(region.end(), static_cast<std::size_t>(pad), 0xFF);
    region.insert(region.end(), records.begin(), records.end());
    region.insert(region.end(), globals.begin(), globals.end());
    region.insert(region.end(), old.begin() + p, old.end());
    file.writesMayGrow = true;
    file.Write(scriptTable, region.data(), region.size(), "the strings and the tail");
    file.writesMayGrow = false;
    file.b.resize(static_cast<std::size_t>(scriptTable) + region.size());  // a smaller script shrinks the file
    const std::int32_t behind = file.Read32(x + kBehindStrings, "the address behind the strings");
    file.WriteLe(x + kBehindStrings, std::int64_t{behind} + growth, 4, "the address behind the strings");
    for (int i = 0; i < 2; ++i) file.WriteLe(sizeFields[i], sizes[i] + growth, 4, "a header size field");
    if (!file.failure.empty()) return file.failure;

    // The fix-up: index data addresses, then every whole word from the scan start (moved back
    // with the file when it shrank) to the end; the upper bound is the longer of the two lengths.
    const std::int32_t lower = Wrap(p + magic);
    const std::int64_t upper = std::max<std::int64_t>(static_cast<std::int64_t>(old.size()), file.Length()) + magic;
    auto fix = [&](std::int64_t at) {
        const std::int32_t v = file.Read32(at, "a word of the fix-up");
        if (v >= lower && v < upper) file.WriteLe(at, std::int64_t{v} + growth, 4, "a word of the fix-up");
    };
    for (std::int32_t i = 0; i < tagCount; ++i) fix(tagOffset + kEntrySize * i + kEntryData);
    // The scenario's blocks (count, address) behind the strings move with the tail; their fields
    // are read as they were before the compile.
    auto oldWord = [&](std::int64_t at) {
        const auto* q = old.data() + at;
        return Wrap(q[0] | (q[1] << 8) | (q[2] << 16) | (std::int64_t{q[3]} << 24));
    };
    for (std::int64_t block : {0x4A8, 0x4B4, 0x4C0, 0x4E4, 0x4F0, 0x4FC}) {
        if (x < 0 || old.size() < static_cast<std::size_t>(x + block + 8)) return "a scenario block field outside the file";
        const std::int64_t at = Wrap(std::int64_t{oldWord(x + block + 4)} - magic);
        if (oldWord(x + block) <= 0 || (block == kGlobals && writesGlobals)) continue;
        if (at >= scriptTable && at < p) return "a scenario block inside the rewritten region";
        fix(x + block + 4);
    }
    if (scanStart < 0) return "a scan start before the start of the file";
    // The scan never enters the bytes this compile wrote, which end at p + growth: it steps over
    // them on its own grid of words.
    std::int64_t first = scanStart + std::min<std::int64_t>(growth, 0);
    while (first < p + growth) first += 4;
    for (std::int64_t at = first; at + 4 <= file.Length(); at += 4) fix(at);
    if (!file.failure.empty()) return file.failure;
    out = std::move(file.b);
    return {};
}

}  // namespace xsc::robust

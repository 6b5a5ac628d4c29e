#include "ReferenceCompile.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "runtime/Val.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc::robust {
namespace {

// Numbers of the format, written out here rather than taken from the code under test.
constexpr std::int64_t kDaehIndexOffset = 0x10;
constexpr std::int64_t kAlternateIndexOffset = 0x5EC;
constexpr std::int64_t kTagEntries = 0x28;
constexpr std::int64_t kEntrySize = 32;
constexpr std::int64_t kEntryData = 0x14;
constexpr std::int64_t kNodeDataSize = 0x474;
constexpr std::int64_t kNodeDataAddress = 0x480;
constexpr std::int64_t kStringDataSize = 0x488;
constexpr std::int64_t kStringDataAddress = 0x494;
constexpr std::int64_t kScriptCount = 0x49C;
constexpr std::int64_t kScriptRecords = 0x4A0;
constexpr std::int64_t kBehindStrings = 0x5A8;
constexpr std::int64_t kFirstSlot = 56;
constexpr std::int64_t kSlotSize = 20;
constexpr std::int64_t kRecordSize = 92;
constexpr std::int64_t kZeroIdentitySlot = 7309;  // 0xE373 + 7309 = 0x10000

std::int32_t Wrap(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

// A file as a growable byte vector: reads must lie inside it; writes may extend it (a write
// past the end of a file leaves zeros in between). `writesMayGrow` is off while the in-place
// field writes run: a compile may only grow the file by its one big write.
class ModelFile {
public:
    explicit ModelFile(Bytes bytes) : b_(std::move(bytes)) {}
    std::int64_t Length() const { return static_cast<std::int64_t>(b_.size()); }
    bool Inside(std::int64_t at, std::int64_t n) const { return at >= 0 && n >= 0 && at + n <= Length(); }

    std::int32_t Read32(std::int64_t at, const char* what) {
        if (!Inside(at, 4)) {
            Fail(std::string("reads ") + what + " outside the file");
            return 0;
        }
        const auto* p = b_.data() + at;
        return Wrap(p[0] | (p[1] << 8) | (p[2] << 16) | (std::int64_t{p[3]} << 24));
    }
    void Write(std::int64_t at, const std::uint8_t* data, std::size_t n, const char* what) {
        if (at < 0 || (!writesMayGrow && !Inside(at, static_cast<std::int64_t>(n)))) {
            Fail(std::string("writes ") + what + " outside the file");
            return;
        }
        const auto end = static_cast<std::size_t>(at) + n;
        if (end > b_.size()) b_.resize(end, 0);
        std::copy(data, data + n, b_.begin() + at);
    }
    void Write32(std::int64_t at, std::int64_t v, const char* what) {
        const std::uint32_t u = static_cast<std::uint32_t>(v);
        const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                                       static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
        Write(at, bytes, 4, what);
    }
    void Write16(std::int64_t at, std::int64_t v, const char* what) {
        const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
        Write(at, bytes, 2, what);
    }
    void Fail(const std::string& why) {
        if (failure.empty()) failure = why;
    }

    bool writesMayGrow = false;
    std::string failure;
    Bytes& Data() { return b_; }

private:
    Bytes b_;
};

// Counts the nodes of one script element's body, iteratively (documents may nest deeply).
void CountBody(const XmlNode& script, ScriptShape& shape, std::string& refusal) {
    std::vector<const XmlNode*> pending;
    for (const XmlNode* child : script.Children) pending.push_back(child);
    while (!pending.empty()) {
        const XmlNode& node = *pending.back();
        pending.pop_back();
        if (!node.IsElement()) {
            refusal = "text where an expression may stand";
        } else if (SameWord(node.Name, "ScriptCommand")) {
            shape.bodyNodes += 2;
            for (const XmlNode* child : node.Children) pending.push_back(child);
        } else if (SameWord(node.Name, "ScriptValue") || SameWord(node.Name, "GlobalValue")) {
            shape.bodyNodes += 1;
            if (node.ChildCount() != 0) refusal = "a value element with children";
        } else {
            refusal = "unknown element \"" + node.Name + "\"";
        }
    }
}

Bytes RecordOf(const ScriptShape& s, std::int64_t rootSlot) {
    Bytes r(kRecordSize, 0);
    std::copy(s.name.begin(), s.name.end(), r.begin());
    auto put16 = [&r](std::size_t at, std::int64_t v) {
        r[at] = static_cast<std::uint8_t>(v);
        r[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    put16(0x20, s.type);
    put16(0x22, s.returnType);
    put16(0x24, rootSlot);
    put16(0x26, 0xE373 + rootSlot);
    return r;
}

// Checks the slot plan and assembles the records; returns why the compile should have been
// refused, or an empty string.
std::string PlanRecords(const DocumentShape& shape, std::int64_t capacity, Bytes& records) {
    std::int64_t first = 0;
    for (const ScriptShape& s : shape.scripts) {
        if (s.name.size() >= 32) return "a script name of " + std::to_string(s.name.size()) + " bytes";
        const std::int64_t root = first + 4 + s.bodyNodes;
        // Real nodes take the slots from first + 4 to root + 1; none may get identity 0.
        for (std::int64_t slot = kZeroIdentitySlot; slot <= root + 1; slot += 65536) {
            if (slot >= first + 4) return "a real node in slot " + std::to_string(slot) + " (identity 0)";
        }
        const Bytes r = RecordOf(s, root);
        records.insert(records.end(), r.begin(), r.end());
        first = root + 3;
    }
    if (shape.slots > capacity) {
        return std::to_string(shape.slots) + " slots for a node data with room for " + std::to_string(capacity);
    }
    return {};
}

}  // namespace

DocumentShape ShapeOf(const XmlDocument& document) {
    DocumentShape shape;
    const XmlNode* root = document.DocumentElement();
    if (root == nullptr) {
        shape.refusal = "no root element";
        return shape;
    }
    for (const XmlNode* child : root->Children) {
        if (!child->IsElement()) {
            shape.refusal = "text where scripts stand";
            continue;
        }
        ScriptShape s;
        s.name = child->GetAttribute("NameAttr");
        s.type = NumberAttribute(child->GetAttribute("TypeAttr"));
        s.returnType = NumberAttribute(child->GetAttribute("ReTypeAttr"));
        CountBody(*child, s, shape.refusal);
        shape.slots += 4 + s.bodyNodes + 3;
        shape.realNodes += s.bodyNodes + 2;
        shape.scripts.push_back(std::move(s));
    }
    return shape;
}

std::string ReferenceCompile(const Bytes& old, const DocumentShape& shape, const ScriptCompilier& state, Bytes& out) {
    if (!shape.refusal.empty()) return "the document has " + shape.refusal;
    ModelFile file(old);

    // The header and index, read the way the loader reads them.
    if (file.Length() < 4) return "the file is too short for a header";
    const std::string code(old.begin(), old.begin() + 4);
    const std::int64_t indexOffset = file.Read32(SameWord(code, "daeh") ? kDaehIndexOffset : kAlternateIndexOffset, "the index offset");
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
    if (stringSize != 1024) return "a string data size of " + std::to_string(stringSize);

    Bytes records;
    const std::int64_t capacity = (std::int64_t{nodeDataSize} - kFirstSlot) / kSlotSize;
    if (std::string why = PlanRecords(shape, nodeDataSize < kFirstSlot ? -1 : capacity, records); !why.empty()) {
        return why;
    }
    const std::int64_t l = state.LengthIntoStrings;
    if (static_cast<std::int64_t>(state.StrBlock.Size()) < l) return "fewer string bytes than LengthIntoStrings";
    if (static_cast<std::int64_t>(state.SyntaxBlock.Size()) != shape.slots * kSlotSize) {
        return "the build made " + std::to_string(state.SyntaxBlock.Size() / kSlotSize) + " slots; the document asks for " +
               std::to_string(shape.slots);
    }
    const std::int64_t pad = (4 - l % 4) % 4;
    const std::int64_t n = static_cast<std::int64_t>(shape.scripts.size());
    const std::int64_t growth = kRecordSize * n + l + pad;
    const std::int64_t p = scriptTable + stringSize;
    if (p < 0 || p > file.Length() || scriptTable < 0) return "string data outside the file";
    if (file.Length() + growth > 0x7FFFFFFF) return "a result beyond 2^31 - 1 bytes";
    const Bytes tail(old.begin() + p, old.end());

    // Write phase, steps 3 to 8.
    file.Write32(x + kStringDataSize, l + 1024, "the string data size");
    file.Write32(x + kScriptCount, n, "the script count");
    file.Write32(x + kScriptRecords, Wrap(scriptTable + stringSize + l + pad + magic), "the records address");
    file.Write16(scriptNode + 10, shape.slots - 1, "the slot count");
    file.Write16(scriptNode + 12, shape.realNodes, "the real node count");
    file.Write16(scriptNode + 14, 0xE373 + shape.slots - 1, "the last identity");
    file.Write32(scriptNode + 16, 0, "the node data header");
    file.Write(scriptNode + 0x14, state.SyntaxBlock.Data(), state.SyntaxBlock.Size(), "the node slots");
    Bytes region(state.StrBlock.Data(), state.StrBlock.Data() + l);
    region.insert(region.end(), 1024, 0);
    region.insert(region.end(), static_cast<std::size_t>(pad), 0xFF);
    region.insert(region.end(), records.begin(), records.end());
    region.insert(region.end(), tail.begin(), tail.end());
    file.writesMayGrow = true;
    file.Write(scriptTable, region.data(), region.size(), "the strings and the tail");
    file.writesMayGrow = false;
    const std::int32_t behind = file.Read32(x + kBehindStrings, "the address behind the strings");
    file.Write32(x + kBehindStrings, std::int64_t{behind} + growth, "the address behind the strings");
    if (!file.failure.empty()) return file.failure;

    // The fix-up: index data addresses, then every whole word from the scan start to the end.
    const std::int32_t lower = Wrap(p + magic);
    const std::int64_t upper = file.Length() + magic;
    auto fix = [&](std::int64_t at) {
        const std::int32_t v = file.Read32(at, "a word of the fix-up");
        if (v >= lower && v < upper) file.Write32(at, std::int64_t{v} + growth, "a word of the fix-up");
    };
    for (std::int32_t i = 0; i < tagCount; ++i) fix(tagOffset + kEntrySize * i + kEntryData);
    if (scanStart < 0) return "a scan start before the start of the file";
    for (std::int64_t at = scanStart; at + 4 <= file.Length(); at += 4) fix(at);
    if (!file.failure.empty()) return file.failure;
    out = std::move(file.Data());
    return {};
}

}  // namespace xsc::robust

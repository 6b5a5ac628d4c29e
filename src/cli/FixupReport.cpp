#include "FixupReport.h"

#include <cstdio>
#include <cstring>
#include <ostream>

#include "map/HaloPcMap.h"
#include "runtime/Error.h"

namespace xsc::cli {
namespace {

// The summary names this many fallen-back tags; --fixups names them all.
constexpr std::size_t kFallbacksNamed = 3;

float AsFloat(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string OffsetInTag(std::int64_t offset) {
    char text[32];
    std::snprintf(text, sizeof text, " +0x%llx", static_cast<unsigned long long>(offset));
    return text;
}

// Where a word lies: "tag index: data address of <tag>", "scenario: <field> address",
// "<tag>: <field path>" (a field the walk found), or "<tag> +0x1a4" (bytes from the start of the
// tag's data; "(word scan)" when the walk left the tag to the scan).
std::string PlaceOf(const HaloPcMap& map, const CorrectedWord& w, FixupMode mode) {
    switch (w.place) {
        case CorrectedWord::Place::TagIndex: return "tag index: data address of " + TagName(map, w.tag);
        case CorrectedWord::Place::Scenario: return std::string("scenario: ") + (w.field ? w.field : "") + " address";
        case CorrectedWord::Place::TagData: break;
    }
    if (w.tag < 0) return TagName(map, w.tag);
    if (!w.path.empty()) return TagName(map, w.tag) + ": " + w.path;
    return TagName(map, w.tag) + OffsetInTag(w.offsetInTag) + (mode == FixupMode::Walk ? " (word scan)" : "");
}

// A word left alone: the field of the walked layout around it, or its offset in the tag's data.
std::string PlaceOfLeftAlone(const HaloPcMap& map, const CorrectedWord& w) {
    if (!w.path.empty()) return TagName(map, w.tag) + ": " + w.path;
    return TagName(map, w.tag) + OffsetInTag(w.offsetInTag) + " (outside the fields of its layout)";
}

void PrintWord(const CorrectedWord& w, bool changed, const std::string& place, std::ostream& out) {
    char line[128];
    if (changed) {
        std::snprintf(line, sizeof line, "  0x%08llx  0x%08x -> 0x%08x  (%g)  ", static_cast<unsigned long long>(w.fileOffset),
                      w.oldValue, w.newValue, static_cast<double>(AsFloat(w.oldValue)));
    } else {
        std::snprintf(line, sizeof line, "  0x%08llx  0x%08x  (%g)  ", static_cast<unsigned long long>(w.fileOffset),
                      w.oldValue, static_cast<double>(AsFloat(w.oldValue)));
    }
    out << line << place << "\n";
}

}  // namespace

std::string TagName(const HaloPcMap& map, std::int32_t tag) {
    if (tag < 0 || static_cast<std::size_t>(tag) >= map.TagCache.size()) return "no tag's data";
    const Tag& t = *map.TagCache[static_cast<std::size_t>(tag)];
    return t.Name + " " + t.Class1;
}

void PrintFallbackSummary(const HaloPcMap& map, const CompileSummary& summary, std::ostream& out) {
    const auto& fallbacks = summary.fallbacks;
    if (fallbacks.empty()) return;
    out << "word scan for " << fallbacks.size() << (fallbacks.size() == 1 ? " tag" : " tags")
        << " whose layout was not walked: ";
    for (std::size_t i = 0; i < fallbacks.size() && i < kFallbacksNamed; ++i) {
        out << (i > 0 ? "; " : "") << TagName(map, fallbacks[i].tag) << " (" << fallbacks[i].reason << ")";
    }
    if (fallbacks.size() > kFallbacksNamed) {
        out << "; and " << fallbacks.size() - kFallbacksNamed << " more (--fixups lists them)";
    }
    out << "\n";
}

void PrintFixups(const HaloPcMap& map, const CompileSummary& summary, FixupMode mode, std::ostream& out) {
    if (!summary.fallbacks.empty()) {
        out << "tags given the word scan (their layout was not walked):\n";
        for (const FallbackTag& f : summary.fallbacks) {
            out << "  " << TagName(map, f.tag) << " (" << Hex(f.start) << ".." << Hex(f.end) << "): " << f.reason << "\n";
        }
    }
    out << "corrected words (file offset after the move, old -> new, old read as a float, where):\n";
    for (const CorrectedWord& w : summary.fixups) PrintWord(w, true, PlaceOf(map, w, mode), out);
    if (mode == FixupMode::Walk) {
        out << "words left alone whose value is in range, which the word scan would have changed (file offset "
               "after the move, value, read as a float, where):\n";
        for (const CorrectedWord& w : summary.leftAlone) PrintWord(w, false, PlaceOfLeftAlone(map, w), out);
    }
}

}  // namespace xsc::cli

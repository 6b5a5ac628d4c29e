// xsc info MAP --tag PATH: a tag's address fields, as a compile's walk of the tag layouts sees them.

#include <ostream>

#include "FixupReport.h"
#include "InfoCommand.h"
#include "MapOpening.h"
#include "map/TagLayouts.h"
#include "map/TagWalk.h"
#include "runtime/Error.h"
#include "runtime/Int32.h"

namespace xsc::cli {
namespace {

bool Named(const Tag& tag, const std::string& path) { return tag.Name == path || tag.Name + "." + tag.Class1 == path; }

// The name of the tag whose path string lies at `offset`, for a tag reference.
std::string PathAt(const HaloPcMap& map, std::int64_t offset) {
    for (const auto& tag : map.TagCache) {
        if (tag->NameOffset == offset) return "\"" + tag->Name + "\"";
    }
    return "no tag's path";
}

std::string Designates(const HaloPcMap& map, const WalkedField& f) {
    const std::int64_t offset = Wrap32(std::int64_t{f.value} - map.Magic);
    switch (f.kind) {
        case WalkedField::Kind::BlockAddress:
            return std::to_string(f.extent) + (f.extent == 1 ? " element" : " elements") + " at " + Hex(offset);
        case WalkedField::Kind::DataAddress: return ByteCount(f.extent) + " at " + Hex(offset);
        case WalkedField::Kind::TagRefPath: return "the path " + PathAt(map, offset) + " at " + Hex(offset);
        case WalkedField::Kind::FileOffset: return "file offset " + Hex(f.value);
    }
    return {};
}

void PrintTag(BinaryStream& file, const HaloPcMap& map, std::int32_t index, std::ostream& out) {
    const Tag& tag = *map.TagCache[static_cast<std::size_t>(index)];
    const TagBytes bytes = TagByteRanges(map)[static_cast<std::size_t>(index)];
    out << "tag " << index << ": " << TagName(map, index);
    if (bytes.start == bytes.end) {
        out << " (no data in this map's tag data)\n";
        return;
    }
    out << " (data at " << Hex(bytes.start) << ", " << ByteCount(bytes.end - bytes.start) << " up to the next tag's)\n";
    const LayoutClass* layout = TagLayouts::Builtin().Class(tag.Class1);
    if (layout) out << "  layout: " << layout->name << ", root struct of " << ByteCount(layout->root->size) << "\n";
    WalkOptions options;
    options.onlyTag = index;
    options.record = true;
    const TagWalk walk = WalkTags(file, map, options);
    if (!walk.fallbacks.empty()) {
        out << "  not walked, a compile gives it the word scan: " << walk.fallbacks.front().reason << "\n";
        return;
    }
    if (walk.walked.empty()) {
        out << "  a Custom Edition resource tag: its data is in a resource map\n";
        return;
    }
    if (walk.fields.empty()) {
        out << "  no address field is in use\n";
        return;
    }
    out << "  " << walk.fields.size() << (walk.fields.size() == 1 ? " address field" : " address fields")
        << " (file offset, value, field, what it designates):\n";
    for (const WalkedField& f : walk.fields) {
        out << "    " << Hex(f.offset) << "  " << Hex(static_cast<std::uint32_t>(f.value)) << "  " << f.path << "  "
            << Designates(map, f) << "\n";
    }
}

}  // namespace

int RunInfoTag(const std::filesystem::path& path, const std::string& tagPath, std::ostream& out, std::ostream& err) {
    OpenedMap opened = OpenMapForCommand(path, MapFile::Access::Read, err);
    const HaloPcMap& map = opened.map;
    int found = 0;
    for (std::size_t i = 0; i < map.TagCache.size(); ++i) {
        if (!Named(*map.TagCache[i], tagPath)) continue;
        PrintTag(opened.Stream(), map, static_cast<std::int32_t>(i), out);
        ++found;
    }
    if (found == 0) throw Error("no tag of the map has the path \"" + tagPath + "\"", Error::Subject::Map);
    return 0;
}

}  // namespace xsc::cli

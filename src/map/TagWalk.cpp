#include "map/TagWalk.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <memory>
#include <memory_resource>
#include <optional>

#include "map/HaloPcMap.h"
#include "map/MapFormat.h"
#include "map/TagLayouts.h"
#include "runtime/BinaryStream.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/Int32.h"

namespace xsc {
namespace {

using namespace taglayout;

// Layouts nest a few levels deep; a deeper walk is a damaged layout or data, not a tag.
constexpr int kMaxDepth = 16;
constexpr std::string_view kSoundClass = "snd!";
constexpr std::string_view kBitmapDataStruct = "bitmap_data";

struct WalkFailure {
    std::string why;
};

std::string Span(std::int64_t start, std::int64_t end) { return Hex(start) + ".." + Hex(end); }

// Bytes kept for the ranges one tag's walk visits before it asks the heap for more: a tag of
// the game visits a few hundred ranges.
constexpr std::size_t kVisitedArena = 64 * 1024;

// Walks tags one at a time: every struct, block and data range must lie in [bytes.start,
// bytes.end) and be visited once; every address field found is listed. The path of the field
// being walked is kept as a stack of names and element numbers, turned into text
// ("magazines[0].magazine_objects") only where it is shown: a listing, or the reason the walk
// failed. One walker serves every tag of a map, so that its buffers are allocated once.
class TagWalker {
public:
    TagWalker(BinaryStream& file, const HaloPcMap& map, const WalkOptions& options)
        : file_(file), map_(map), options_(options), arena_(kVisitedArena) {}

    // Walks one tag from its root struct; throws WalkFailure at the first check it fails, with
    // `fields` and `ranges` then holding part of the tag.
    void Walk(std::int32_t tag, TagBytes bytes, bool resource, const LayoutStruct& root) {
        tag_ = tag;
        bytes_ = bytes;
        resource_ = resource;
        fields.clear();
        ranges.clear();
        path_.clear();
        visited_.reset();
        visitedMemory_.release();
        visited_.emplace(&visitedMemory_);
        Visit(bytes_.start, root.size, 0, "the bytes of the root struct");
        WalkStruct(root, bytes_.start, 0);
    }

    std::vector<WalkedField> fields;
    std::vector<WalkedRange> ranges;

private:
    struct Step {
        const std::string* name;
        std::int64_t element;  // -1: the field itself, not one of its elements
    };

    std::string Path(std::string_view suffix = {}) const {
        std::string text;
        for (const Step& step : path_) {
            if (!text.empty()) text += '.';
            text += *step.name;
            if (step.element >= 0) text.append(1, '[').append(std::to_string(step.element)).append(1, ']');
        }
        return text.append(suffix);
    }

    std::int64_t OffsetOf(std::int32_t address) const { return Wrap32(std::int64_t{address} - map_.Magic); }

    bool Owned(std::int64_t start, std::int64_t size) const {
        return std::any_of(options_.owned.begin(), options_.owned.end(),
                           [&](const WalkOptions::Range& r) { return start < r.end && r.start < start + size; });
    }

    // The bytes [start, start + size) of the current field belong to this tag and to nothing
    // visited before. `what` says what they are, in front of the field's path.
    void Visit(std::int64_t start, std::int64_t size, std::int64_t elementSize, std::string_view what,
               std::string_view suffix = {}) {
        if (start < bytes_.start || start + size > bytes_.end) {
            throw WalkFailure{std::string(what) + Path() + " (" + Span(start, start + size) + ") reach outside the tag's bytes (" +
                              Span(bytes_.start, bytes_.end) + ")"};
        }
        if (size == 0) return;
        if (start < options_.rewritten.end && options_.rewritten.start < start + size) {
            throw WalkFailure{std::string(what) + Path() + " (" + Span(start, start + size) +
                              ") lie in the script data a compile replaces"};
        }
        Visited& visited = *visited_;
        auto next = visited.upper_bound(start);
        const bool overlapsNext = next != visited.end() && next->first < start + size;
        const bool overlapsPrevious = next != visited.begin() && std::prev(next)->second > start;
        if (overlapsNext || overlapsPrevious) {
            const auto& other = overlapsNext ? *next : *std::prev(next);
            throw WalkFailure{std::string(what) + Path() + " (" + Span(start, start + size) + ") overlap bytes visited before (" +
                              Span(other.first, other.second) + ")"};
        }
        visited.emplace(start, start + size);
        if (options_.record) ranges.push_back({start, start + size, tag_, Path(suffix), elementSize});
    }

    void Add(WalkedField::Kind kind, std::int64_t offset, std::int32_t value, std::string_view suffix, std::int64_t extent) {
        fields.push_back({kind, offset, value, tag_, options_.record ? Path(suffix) : std::string(), extent});
    }

    void WalkStruct(const LayoutStruct& s, std::int64_t at, int depth) {
        if (s.fields.empty()) return;
        if (depth > kMaxDepth) throw WalkFailure{Path() + " lies more than " + std::to_string(kMaxDepth) + " blocks deep"};
        // One buffer per depth: a struct's bytes stay while the blocks inside it are walked.
        std::vector<std::uint8_t>& bytes = structBytes_[static_cast<std::size_t>(depth)];
        if (bytes.size() < static_cast<std::size_t>(s.size)) bytes.resize(static_cast<std::size_t>(s.size));
        file_.SetPosition(at);
        file_.ReadInto(bytes.data(), static_cast<std::size_t>(s.size));
        for (const LayoutField& f : s.fields) {
            if (f.flags & (kStripped | kMccOnly | kBsp) || Owned(at + f.offset, f.Size())) continue;
            const std::uint8_t* p = bytes.data() + f.offset;
            path_.push_back({&f.name, -1});
            switch (f.kind) {
                case LayoutField::Kind::Block: Block(f, p, at, depth); break;
                case LayoutField::Kind::Data: Data(f, p, at); break;
                case LayoutField::Kind::TagRef: TagRef(p, at + f.offset); break;
                case LayoutField::Kind::Pointer: Pointer(s, f, bytes.data(), at); break;
            }
            path_.pop_back();
        }
    }

    void Block(const LayoutField& f, const std::uint8_t* p, std::int64_t at, int depth) {
        if ((f.flags & kIndexZeroed) && resource_) return;  // the resource map holds these
        const auto count = static_cast<std::int32_t>(DecodeFixed32(p + kBlockCount));
        const auto address = static_cast<std::int32_t>(DecodeFixed32(p + kBlockAddress));
        if (count == 0) return;  // no elements: the address (0) is no address
        if (count < 0) throw WalkFailure{"the count of " + Path() + " is negative (" + std::to_string(count) + ")"};
        if (f.max >= 0 && count > f.max) {
            throw WalkFailure{"the count of " + Path() + " (" + std::to_string(count) + ") is above its maximum " +
                              std::to_string(f.max)};
        }
        const LayoutStruct& element = *f.element;
        const std::int64_t start = OffsetOf(address);
        Visit(start, std::int64_t{count} * element.size, element.size, "the elements of ");
        Add(WalkedField::Kind::BlockAddress, at + f.offset + kBlockAddress, address, ".address", count);
        for (std::int32_t i = 0; i < count; ++i) {
            path_.back().element = i;
            WalkStruct(element, start + std::int64_t{i} * element.size, depth + 1);
        }
    }

    void Data(const LayoutField& f, const std::uint8_t* p, std::int64_t at) {
        const auto size = static_cast<std::int32_t>(DecodeFixed32(p + kDataByteCount));
        if (size < 0) throw WalkFailure{"the size of " + Path() + " is negative (" + std::to_string(size) + ")"};
        if (f.flags & kFileOffset) {
            const bool external = (f.flags & kExternalOk) && (DecodeFixed32(p + kDataFlags) & kDataExternal);
            if (external || size == 0) return;
            const auto offset = static_cast<std::int32_t>(DecodeFixed32(p + kDataFileOffset));
            if (offset < 0 || std::int64_t{offset} + size > file_.Length()) {
                throw WalkFailure{"the bytes of " + Path() + " (" + Span(offset, std::int64_t{offset} + size) +
                                  ") lie outside the file"};
            }
            Add(WalkedField::Kind::FileOffset, at + f.offset + kDataFileOffset, offset, ".file_offset", size);
            return;
        }
        if (size == 0) return;
        const auto address = static_cast<std::int32_t>(DecodeFixed32(p + kDataAddress));
        Visit(OffsetOf(address), size, 0, "the bytes of ", ".data");
        Add(WalkedField::Kind::DataAddress, at + f.offset + kDataAddress, address, ".address", size);
    }

    void TagRef(const std::uint8_t* p, std::int64_t at) {
        const auto address = static_cast<std::int32_t>(DecodeFixed32(p + kTagRefPath));
        if (address == 0) return;
        const std::int64_t offset = OffsetOf(address);
        if (offset < 0 || offset >= file_.Length()) {
            throw WalkFailure{"the path of " + Path() + " (at " + Hex(offset) + ") lies outside the file"};
        }
        Add(WalkedField::Kind::TagRefPath, at + kTagRefPath, address, ".path", 0);
    }

    // Pointers are never addresses; those that are file offsets into this map are listed (a BSP's
    // start, a bitmap's pixels when not in bitmaps.map), as their bytes may move.
    void Pointer(const LayoutStruct& s, const LayoutField& f, const std::uint8_t* bytes, std::int64_t at) {
        if (f.target != "file_offset") return;
        if (s.name == kBitmapDataStruct && (DecodeFixed16(bytes + kBitmapDataFlags) & kBitmapDataExternal)) return;
        Add(WalkedField::Kind::FileOffset, at + f.offset, static_cast<std::int32_t>(DecodeFixed32(bytes + f.offset)), "", 0);
    }

    using Visited = std::pmr::map<std::int64_t, std::int64_t>;  // start -> end of every range visited

    BinaryStream& file_;
    const HaloPcMap& map_;
    const WalkOptions& options_;
    std::int32_t tag_ = -1;
    TagBytes bytes_;
    bool resource_ = false;
    std::vector<Step> path_;
    std::array<std::vector<std::uint8_t>, kMaxDepth + 1> structBytes_;
    // The visited ranges of the tag being walked, from an arena emptied at each tag.
    std::vector<std::byte> arena_;
    std::pmr::monotonic_buffer_resource visitedMemory_{arena_.data(), arena_.size()};
    std::optional<Visited> visited_;
};

std::vector<std::uint8_t> IndexEntries(BinaryStream& file, const HaloPcMap& map) {
    std::vector<std::uint8_t> entries(static_cast<std::size_t>(mapformat::kTagEntrySize * map.TagCount));
    file.SetPosition(map.tagOffset);
    file.ReadInto(entries.data(), entries.size());
    return entries;
}

}  // namespace

std::vector<TagBytes> TagByteRanges(const HaloPcMap& map) {
    std::vector<std::pair<std::int64_t, std::size_t>> starts;
    for (std::size_t i = 0; i < map.TagCache.size(); ++i) {
        if (map.HasDataInFile(*map.TagCache[i])) starts.emplace_back(map.TagCache[i]->Offset, i);
    }
    std::stable_sort(starts.begin(), starts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<TagBytes> bytes(map.TagCache.size());
    for (std::size_t k = 0; k < starts.size(); ++k) {
        if (k > 0 && starts[k - 1].first == starts[k].first) continue;  // the first holds them
        auto next = std::upper_bound(starts.begin() + static_cast<std::ptrdiff_t>(k), starts.end(), starts[k].first,
                                     [](std::int64_t offset, const auto& s) { return offset < s.first; });
        bytes[starts[k].second] = {starts[k].first, next == starts.end() ? map.LoadedLength : next->first};
    }
    return bytes;
}

// The walker's state between calls: the tags in file order and how far the walk has gone.
struct TagWalkInFileOrder::State {
    State(BinaryStream& file, const HaloPcMap& map, const WalkOptions& options)
        : options(options), bytes(TagByteRanges(map)), entries(IndexEntries(file, map)), walker(file, map, options) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i].start != bytes[i].end) order.push_back(static_cast<std::int32_t>(i));
        }
        std::sort(order.begin(), order.end(), [this](std::int32_t a, std::int32_t b) {
            return bytes[static_cast<std::size_t>(a)].start < bytes[static_cast<std::size_t>(b)].start;
        });
    }

    void WalkOne(const HaloPcMap& map, std::int32_t tag) {
        const auto i = static_cast<std::size_t>(tag);
        const Tag& t = *map.TagCache[i];
        const TagBytes own = bytes[i];
        const bool resource = static_cast<std::int32_t>(DecodeFixed32(entries.data() + mapformat::kTagEntrySize * i +
                                                                      mapformat::kTagIndexed)) ==
                              mapformat::kTagIndexedResource;
        if (resource && t.Class1 != kSoundClass) return;  // an index into a resource map
        const LayoutClass* layout = TagLayouts::Builtin().Class(t.Class1);
        std::string reason = layout ? layout->Unwalkable() : "no layout is known for class " + t.Class1;
        if (reason.empty()) {
            try {
                walker.Walk(tag, own, resource, *layout->root);
                if (options.onField) {
                    for (const WalkedField& field : walker.fields) options.onField(field);
                } else {
                    walk.fields.insert(walk.fields.end(), walker.fields.begin(), walker.fields.end());
                }
                walk.ranges.insert(walk.ranges.end(), walker.ranges.begin(), walker.ranges.end());
                walk.walked.push_back(tag);
                return;
            } catch (const WalkFailure& failure) {
                reason = failure.why;
            }
        }
        walk.fallbacks.push_back({tag, own.start, own.end, reason});
    }

    const WalkOptions& options;
    const std::vector<TagBytes> bytes;
    const std::vector<std::uint8_t> entries;
    TagWalker walker;
    std::vector<std::int32_t> order;  // the tags holding bytes, by their start
    std::size_t next = 0;             // in `order`: the first tag not walked yet
    TagWalk walk;
};

TagWalkInFileOrder::TagWalkInFileOrder(BinaryStream& file, const HaloPcMap& map, const WalkOptions& options)
    : map_(map), state_(std::make_unique<State>(file, map, options)) {}

TagWalkInFileOrder::~TagWalkInFileOrder() = default;

void TagWalkInFileOrder::WalkBefore(std::int64_t end) {
    State& s = *state_;
    for (; s.next < s.order.size(); ++s.next) {
        const std::int32_t tag = s.order[s.next];
        if (s.bytes[static_cast<std::size_t>(tag)].start >= end) break;
        if (s.options.onlyTag < 0 || tag == s.options.onlyTag) s.WalkOne(map_, tag);
    }
}

bool TagWalkInFileOrder::Done() const { return state_->next == state_->order.size(); }

const std::vector<FallbackTag>& TagWalkInFileOrder::Fallbacks() const { return state_->walk.fallbacks; }

TagWalk TagWalkInFileOrder::Take() {
    TagWalk walk = std::move(state_->walk);
    state_->walk = {};
    std::sort(walk.fallbacks.begin(), walk.fallbacks.end(), [](const FallbackTag& a, const FallbackTag& b) { return a.tag < b.tag; });
    std::sort(walk.walked.begin(), walk.walked.end());
    std::sort(walk.ranges.begin(), walk.ranges.end(), [](const WalkedRange& a, const WalkedRange& b) { return a.start < b.start; });
    return walk;
}

TagWalk WalkTags(BinaryStream& file, const HaloPcMap& map, const WalkOptions& options) {
    TagWalkInFileOrder walk(file, map, options);
    walk.WalkBefore(std::numeric_limits<std::int64_t>::max());
    return walk.Take();
}

}  // namespace xsc

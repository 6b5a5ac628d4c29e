#include "mapgen/TagStructures.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

#include "map/TagLayouts.h"
#include "runtime/ByteOrder.h"

namespace xsc::mapgen {
namespace {

using namespace taglayout;

// How far blocks nest and how many elements a block gets: enough for nested paths like
// triggers[1].firing_effects[0], small enough that a tag's structure stays a few kilobytes.
constexpr int kDeepestBlock = 3;
constexpr std::uint64_t kMostElements = 4;
constexpr std::uint64_t kMostDataWords = 16;
// The scenario_bsp element: +0 the BSP's file offset, +4 its size, +8 its load address (the top of
// the tag memory less its size), +0x10 a tag reference to the sbsp tag.
constexpr std::int64_t kBspStart = 0x0;
constexpr std::int64_t kBspSize = 0x4;
constexpr std::int64_t kBspAddress = 0x8;
constexpr std::int64_t kBspReference = 0x10;
constexpr std::uint32_t kBspTop = 0x40440000 + 0x1700000;
// The BSP's data starts with a 24-byte header holding the code "sbsp" (stored reversed) at 0x14.
constexpr std::string_view kBspCode = "psbs";
constexpr std::int64_t kBspCodeField = 0x14;

std::uint32_t FloatBits(float value) { return std::bit_cast<std::uint32_t>(value); }

// A word of real tag data that is not an address: zeros, small integers, unit floats, packed
// 16-bit pairs, floats from 3 to 23, and (one in 128) a float whose bits happen to equal an address
// of `near` (its bytes at file offset `near.at`): the floats of a big map that fall in its
// address range, in a map of any size.
struct Near {
    std::int64_t at = 0;
    std::int64_t size = 0;
    std::int32_t magic = 0;
};

std::uint32_t PlainWord(Random& random, const Near& near) {
    const std::uint64_t draw = random.Next64();
    if (draw % 128 == 0 && near.size >= 4) {
        return static_cast<std::uint32_t>(near.at + 4 * static_cast<std::int64_t>((draw >> 8) % static_cast<std::uint64_t>(near.size / 4))) +
               static_cast<std::uint32_t>(near.magic);
    }
    switch (draw % 16) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4: return 0;
        case 5:
        case 6: return static_cast<std::uint32_t>((draw >> 8) % 1024);
        case 7:
        case 8: return FloatBits(static_cast<float>((draw >> 8) % 2049) / 1024.0f - 1.0f);
        case 9:
        case 10: return static_cast<std::uint32_t>((draw >> 8) & 0x0FFF00FF);
        default: return FloatBits(3.0f + static_cast<float>((draw >> 8) % (20 * 16 + 1)) / 16.0f);  // 3 to 23
    }
}

void FillPlain(std::uint8_t* bytes, std::int64_t size, Random& random, const Near& near) {
    std::int64_t i = 0;
    for (; i + 4 <= size; i += 4) EncodeFixed32(bytes + i, PlainWord(random, near));
    for (; i < size; ++i) bytes[i] = 0;
}

bool Admits(const std::string& allowed, const ReferableTag& tag) {
    if (allowed == "*") return true;
    for (std::size_t from = 0; from <= allowed.size();) {
        const std::size_t comma = std::min(allowed.find(',', from), allowed.size());
        const std::string code = allowed.substr(from, comma - from);
        if (std::find(std::begin(tag.classes), std::end(tag.classes), code) != std::end(tag.classes)) return true;
        from = comma + 1;
    }
    return false;
}

class StructureWriter {
public:
    StructureWriter(std::uint8_t* area, std::int64_t size, std::int64_t at, const StructureContext& context, Random& random)
        : area_(area), size_(size), at_(at), context_(context), random_(random) {}

    // Room for `n` bytes in the area, on a word: their file offset, or -1 when the area is full.
    std::int64_t Allocate(std::int64_t n) {
        const std::int64_t start = (used_ + 3) / 4 * 4;
        if (start + n > size_) return -1;
        used_ = start + n;
        return at_ + start;
    }
    std::uint8_t* Bytes(std::int64_t fileOffset) { return area_ + (fileOffset - at_); }
    Near Here() const { return {at_, size_, context_.magic}; }
    void FillRest() { FillPlain(area_ + used_, size_ - used_, random_, Here()); }

    // A struct at `bytes` (file offset `at`): plain words, then its fields.
    // Bytes in `kept` are left as they are, and fields that overlap them are not written.
    void Struct(const LayoutStruct& s, std::uint8_t* bytes, std::int64_t at, int depth,
                const std::vector<KeptBytes>& kept = {}) {
        auto keeps = [&kept](std::int64_t from, std::int64_t size) {
            return std::any_of(kept.begin(), kept.end(), [&](const KeptBytes& k) { return from < k.to && k.from < from + size; });
        };
        for (std::int64_t w = 0; w + 4 <= s.size; w += 4) {
            if (!keeps(w, 4)) EncodeFixed32(bytes + w, PlainWord(random_, Here()));
        }
        for (const LayoutField& f : s.fields) {
            if (keeps(f.offset, f.Size())) continue;
            std::uint8_t* p = bytes + f.offset;
            switch (f.kind) {
                case LayoutField::Kind::Block: Block(f, p, at + f.offset, depth); break;
                case LayoutField::Kind::Data: Data(f, p, at + f.offset); break;
                case LayoutField::Kind::TagRef: TagRef(f, p, at + f.offset); break;
                case LayoutField::Kind::Pointer: Pointer(f, p); break;
            }
        }
    }

    // The given block's elements, behind what is allocated so far; its field in the root struct
    // (`root`, at file offset `rootAt`) names them.
    void Given(const GivenBlock& block, std::uint8_t* root, std::int64_t rootAt) {
        const auto size = static_cast<std::int64_t>(block.elements.size());
        const std::int64_t elements = Allocate(size);
        if (elements < 0) throw std::logic_error("map generator: no room for a tag's named elements");
        std::copy(block.elements.begin(), block.elements.end(), Bytes(elements));
        for (const GivenBlock::Ref& ref : block.refs) {
            Names(Bytes(elements + ref.offset), elements + ref.offset, context_.tags->at(ref.tag));
        }
        EncodeFixed32(root + block.field + kBlockCount, static_cast<std::uint32_t>(block.count));
        EncodeFixed32(root + block.field + kBlockAddress, block.count == 0 ? 0 : Address(elements));
        EncodeFixed32(root + block.field + 8, 0);
        if (block.count != 0) Note(&StructureFields::addresses, rootAt + block.field + kBlockAddress);
    }

private:
    std::uint32_t Address(std::int64_t offset) const {
        return static_cast<std::uint32_t>(offset) + static_cast<std::uint32_t>(context_.magic);
    }
    void Note(std::vector<std::int64_t> StructureFields::*list, std::int64_t offset) {
        if (context_.fields) (context_.fields->*list).push_back(offset);
    }

    // Names tag `tag` of the context from the 16-byte reference at `p` (file offset `at`).
    void Names(std::uint8_t* p, std::int64_t at, const ReferableTag& tag) {
        const std::string& code = tag.classes[0];
        EncodeFixed32(p + kTagRefClass, (std::uint32_t{static_cast<std::uint8_t>(code[0])} << 24) |
                                            (std::uint32_t{static_cast<std::uint8_t>(code[1])} << 16) |
                                            (std::uint32_t{static_cast<std::uint8_t>(code[2])} << 8) |
                                            std::uint32_t{static_cast<std::uint8_t>(code[3])});
        EncodeFixed32(p + kTagRefPath, tag.pathAddress);
        EncodeFixed32(p + 8, 0);
        EncodeFixed32(p + kTagRefId, tag.ident);
        Note(&StructureFields::addresses, at + kTagRefPath);
    }

    void Block(const LayoutField& f, std::uint8_t* p, std::int64_t at, int depth) {
        std::memset(p, 0, kBlockSize);
        if (f.flags & (kStripped | kMccOnly | kBsp | kIndexZeroed) || depth >= kDeepestBlock) return;
        const std::uint64_t most = f.max >= 0 ? std::min<std::uint64_t>(kMostElements, static_cast<std::uint64_t>(f.max)) : kMostElements;
        const auto count = static_cast<std::int64_t>(random_.Below(most + 1));
        if (count == 0) return;
        const LayoutStruct& element = *f.element;
        const std::int64_t elements = Allocate(count * element.size);
        if (elements < 0) return;
        EncodeFixed32(p + kBlockCount, static_cast<std::uint32_t>(count));
        EncodeFixed32(p + kBlockAddress, Address(elements));
        Note(&StructureFields::addresses, at + kBlockAddress);
        for (std::int64_t i = 0; i < count; ++i) {
            const std::int64_t e = elements + i * element.size;
            Struct(element, Bytes(e), e, depth + 1);
        }
    }

    void Data(const LayoutField& f, std::uint8_t* p, std::int64_t at) {
        // Stale flags and file offset words, which nothing reads: sometimes in the address range.
        EncodeFixed32(p + kDataFlags, PlainWord(random_, Here()));
        EncodeFixed32(p + kDataFileOffset, PlainWord(random_, Here()));
        EncodeFixed32(p + kDataAddress, 0);
        if (f.flags & kStripped) {
            EncodeFixed32(p + kDataByteCount, static_cast<std::uint32_t>(4 * random_.Below(kMostDataWords)));
            return;
        }
        const auto size = static_cast<std::int64_t>(4 * random_.Below(kMostDataWords + 1));
        EncodeFixed32(p + kDataByteCount, static_cast<std::uint32_t>(size));
        if (f.flags & kFileOffset) {
            // Samples kept in the raw data in front of the tag data, or in sounds.map.
            const bool external = random_.Below(2) == 0 || context_.rawEnd - context_.rawStart < size;
            EncodeFixed32(p + kDataFlags, external ? kDataExternal : 0);
            EncodeFixed32(p + kDataFileOffset,
                          external ? PlainWord(random_, Here())
                                   : static_cast<std::uint32_t>(context_.rawStart +
                                                                random_.Below(static_cast<std::uint64_t>(context_.rawEnd - context_.rawStart - size + 1))));
            return;
        }
        const std::int64_t bytes = size == 0 ? -1 : Allocate(size);
        if (bytes < 0) {
            EncodeFixed32(p + kDataByteCount, 0);
            return;
        }
        FillPlain(Bytes(bytes), size, random_, Here());
        EncodeFixed32(p + kDataAddress, Address(bytes));
        Note(&StructureFields::addresses, at + kDataAddress);
    }

    void TagRef(const LayoutField& f, std::uint8_t* p, std::int64_t at) {
        const ReferableTag* named = nullptr;
        if (!(f.flags & kStripped) && context_.tags && !context_.tags->empty() && random_.Below(4) != 0) {
            const ReferableTag& pick = (*context_.tags)[random_.Below(context_.tags->size())];
            if (Admits(f.target, pick)) named = &pick;
        }
        if (!named) {
            EncodeFixed32(p + kTagRefClass, 0xFFFFFFFF);
            EncodeFixed32(p + kTagRefPath, 0);
            EncodeFixed32(p + 8, 0);
            EncodeFixed32(p + kTagRefId, 0xFFFFFFFF);
            return;
        }
        Names(p, at, *named);
    }

    // Never an address: junk, some of it in the address range (a runtime pointer), or a file
    // offset into the raw data in front of the tag data, which does not move.
    void Pointer(const LayoutField& f, std::uint8_t* p) {
        if (f.target == "file_offset" && context_.rawEnd > context_.rawStart) {
            EncodeFixed32(p, static_cast<std::uint32_t>(context_.rawStart));
            return;
        }
        EncodeFixed32(p, random_.Below(2) == 0 ? Address(at_ + 4 * static_cast<std::int64_t>(random_.Below(
                                                                                  static_cast<std::uint64_t>(size_ / 4))))
                                                : PlainWord(random_, Here()));
    }

    std::uint8_t* area_;
    std::int64_t size_;
    std::int64_t at_;
    std::int64_t used_ = 0;
    const StructureContext& context_;
    Random& random_;
};

const LayoutStruct& RootOf(const std::string& classCode) {
    const LayoutClass* c = TagLayouts::Builtin().Class(classCode);
    if (!c || !c->Unwalkable().empty()) throw std::logic_error("map generator: no layout to write for class " + classCode);
    return *c->root;
}

}  // namespace

void WriteStructuredTag(std::uint8_t* bytes, std::int64_t size, std::int64_t at, const std::string& classCode,
                        const StructureContext& context, Random& random, const std::vector<GivenBlock>& given) {
    const LayoutStruct& root = RootOf(classCode);
    if (size < root.size) throw std::logic_error("map generator: a structured tag smaller than its root struct");
    StructureWriter writer(bytes, size, at, context, random);
    writer.Allocate(root.size);
    std::vector<KeptBytes> kept;
    for (const GivenBlock& block : given) {
        writer.Given(block, bytes, at);
        kept.push_back({block.field, block.field + kBlockSize});
    }
    writer.Struct(root, bytes, at, 0, kept);
    writer.FillRest();
}

void WriteStructuredScenario(std::uint8_t* root, std::int64_t rootAt, std::uint8_t* tail, std::int64_t tailSize,
                             std::int64_t tailAt, const std::vector<KeptBytes>& kept, const StructureContext& context,
                             Random& random) {
    const LayoutStruct& scenario = RootOf("scnr");
    const auto bsps = std::find_if(scenario.fields.begin(), scenario.fields.end(),
                                   [](const LayoutField& f) { return f.name == "structure_bsps"; });
    StructureWriter writer(tail, tailSize, tailAt, context, random);
    // The structure BSP element first (the block's address names the tail's start), then the
    // BSP's bytes, which a compile moves: its file offset must move with them.
    const std::int64_t element = writer.Allocate(bsps->element->size);
    const std::int64_t bsp = writer.Allocate(kStructureBspSize);
    if (element < 0 || bsp < 0) throw std::logic_error("map generator: a structured scenario needs a longer tail");
    std::vector<KeptBytes> keep = kept;
    keep.push_back({bsps->offset, bsps->offset + kBlockSize});
    writer.Struct(scenario, root, rootAt, 0, keep);
    EncodeFixed32(root + bsps->offset + kBlockCount, 1);
    EncodeFixed32(root + bsps->offset + kBlockAddress, static_cast<std::uint32_t>(element) + static_cast<std::uint32_t>(context.magic));
    EncodeFixed32(root + bsps->offset + 8, 0);
    if (context.fields) context.fields->addresses.push_back(rootAt + bsps->offset + kBlockAddress);
    std::uint8_t* e = writer.Bytes(element);
    std::memset(e, 0, static_cast<std::size_t>(bsps->element->size));
    EncodeFixed32(e + kBspStart, static_cast<std::uint32_t>(bsp));
    EncodeFixed32(e + kBspSize, static_cast<std::uint32_t>(kStructureBspSize));
    EncodeFixed32(e + kBspAddress, kBspTop - static_cast<std::uint32_t>(kStructureBspSize));
    // No sbsp tag in the map: a null reference.
    EncodeFixed32(e + kBspReference + kTagRefClass, 0xFFFFFFFF);
    EncodeFixed32(e + kBspReference + kTagRefId, 0xFFFFFFFF);
    if (context.fields) context.fields->fileOffsets.push_back(element + kBspStart);
    FillPlain(writer.Bytes(bsp), kStructureBspSize, random, writer.Here());
    kBspCode.copy(reinterpret_cast<char*>(writer.Bytes(bsp)) + kBspCodeField, 4);
    writer.FillRest();
}

}  // namespace xsc::mapgen

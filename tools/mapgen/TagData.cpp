#include "mapgen/TagData.h"

#include <bit>
#include <cstdint>

#include "mapgen/MapPlan.h"
#include "mapgen/NamedContent.h"
#include "mapgen/Random.h"
#include "runtime/ByteOrder.h"

namespace xsc::mapgen {
namespace {

// Floats from kSmallestFloat to kLargestFloat in steps of 1/16: exact in binary, so the bit
// patterns are the same everywhere.
constexpr std::uint64_t kFloatSteps = 16;

class SpecialWords {
public:
    SpecialWords(const MapLayout& layout, Random& random) : layout_(layout), random_(random) {}

    std::uint32_t Next() {
        switch (random_.Below(4)) {
            case 0: return Before();
            case 1: return AddressOf(layout_.stringDataEnd);
            case 2: return Behind();
            default: return SmallFloat();
        }
    }

private:
    std::uint32_t AddressOf(std::int64_t offset) const {
        return static_cast<std::uint32_t>(offset) + static_cast<std::uint32_t>(layout_.magic);
    }
    // A word of the scenario before the end of its string data: structure, node data or strings.
    std::uint32_t Before() {
        const auto words = static_cast<std::uint64_t>(layout_.stringDataEnd - layout_.scenarioOffset) / 4;
        return AddressOf(layout_.scenarioOffset + 4 * static_cast<std::int64_t>(random_.Below(words)));
    }
    // A word strictly behind the insertion point and before the end of the file.
    std::uint32_t Behind() {
        const auto words = static_cast<std::uint64_t>(layout_.fileLength - layout_.stringDataEnd) / 4;
        if (words < 2) return AddressOf(layout_.stringDataEnd);
        return AddressOf(layout_.stringDataEnd + 4 * static_cast<std::int64_t>(1 + random_.Below(words - 1)));
    }
    std::uint32_t SmallFloat() {
        const auto steps = static_cast<std::uint64_t>(kLargestFloat - kSmallestFloat) * kFloatSteps;
        const float value = kSmallestFloat + static_cast<float>(random_.Below(steps + 1)) / kFloatSteps;
        return std::bit_cast<std::uint32_t>(value);
    }

    const MapLayout& layout_;
    Random& random_;
};

// A word of real tag data that is not an address: a zero, a small count or index, a float in
// [-1, 1] (normals, weights), or two small 16-bit values (indices, flags).
std::uint32_t PlainWord(Random& random) {
    const std::uint64_t draw = random.Next64();
    switch (draw % 5) {
        case 0:
        case 1: return 0;
        case 2: return static_cast<std::uint32_t>((draw >> 8) % 1024);
        case 3: return std::bit_cast<std::uint32_t>(static_cast<float>((draw >> 8) % 2049) / 1024.0f - 1.0f);
        default: return static_cast<std::uint32_t>((draw >> 8) & 0x0FFF0FFF);
    }
}

}  // namespace

void WriteTagData(BlockWriter& out, const MapLayout& layout, const MapOptions& options) {
    const std::int64_t size = layout.fileLength - layout.scanStart;
    Random random = Random::ForPart(options.seed, PartNumber(Part::TagData));
    SpecialWords special(layout, random);
    // Gaps between special words are drawn from 1 to 2 * addressEvery - 1: addressEvery on average.
    const std::uint64_t gapChoices = 2 * std::uint64_t{options.addressEvery} - 1;
    auto nextGap = [&] { return options.addressEvery == 0 ? ~std::uint64_t{0} : 1 + random.Below(gapChoices); };

    std::uint64_t untilSpecial = nextGap();
    std::uint64_t spare = 0;  // the second half of the last 64-bit draw, when unused
    bool haveSpare = false;
    // The named tags' structures, in file order, laid over the words they cover.
    const std::vector<Overlay> overlays = options.names ? NamedTagOverlays(layout) : std::vector<Overlay>{};
    std::size_t overlay = 0;
    for (std::int64_t word = 0; word < size / 4; ++word) {
        const std::int64_t offset = layout.scanStart + 4 * word;
        while (overlay < overlays.size() && offset >= overlays[overlay].offset + static_cast<std::int64_t>(overlays[overlay].bytes.size())) {
            ++overlay;
        }
        if (overlay < overlays.size() && offset >= overlays[overlay].offset) {
            out.Put32(DecodeFixed32(overlays[overlay].bytes.data() + (offset - overlays[overlay].offset)));
        } else if (--untilSpecial == 0) {
            out.Put32(special.Next());
            untilSpecial = nextGap();
        } else if (options.realisticFill) {
            out.Put32(PlainWord(random));
        } else if (haveSpare) {
            out.Put32(static_cast<std::uint32_t>(spare));
            haveSpare = false;
        } else {
            spare = random.Next64();
            out.Put32(static_cast<std::uint32_t>(spare >> 32));
            haveSpare = true;
        }
    }
    // A length that is not a multiple of 4 ends in the low bytes of one more word.
    std::uint8_t last[4];
    EncodeFixed32(last, random.Next32());
    out.PutBytes({reinterpret_cast<const char*>(last), static_cast<std::size_t>(size % 4)});
}

void WriteStructuredTagData(BlockWriter& out, const MapLayout& layout, const MapOptions& options,
                            const StructureContext& context) {
    Random random = Random::ForPart(options.seed, PartNumber(Part::TagData));
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 1; i < layout.tagDataOffsets.size(); ++i) {
        bytes.resize(static_cast<std::size_t>(layout.tagDataSizes[i]));
        WriteStructuredTag(bytes.data(), static_cast<std::int64_t>(bytes.size()), layout.tagDataOffsets[i],
                           layout.tagClasses[i], context, random,
                           options.names ? NamedTagBlocks(static_cast<std::int64_t>(i)) : std::vector<GivenBlock>{});
        out.PutBytes({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    }
}

}  // namespace xsc::mapgen

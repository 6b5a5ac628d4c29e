#include "map/HaloPcMap.h"

#include <utility>

#include "map/MapFormat.h"
#include "runtime/BinaryStream.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/Int32.h"
#include "runtime/Text.h"

namespace xsc {
namespace {

using namespace mapformat;

// One 32-byte tag entry, taken from the index read into memory in one piece (a read per field
// would cost a system call per field on maps with thousands of tags).
struct EntryBytes {
    const std::uint8_t* p;
    std::string ClassCode(std::int64_t field) const {
        return HaloPcMap::Reverse(std::string_view(reinterpret_cast<const char*>(p + field), kClassCodeSize));
    }
    std::int32_t Int32(std::int64_t field) const { return static_cast<std::int32_t>(DecodeFixed32(p + field)); }
};

// The name's bytes up to (not including) its zero byte.
std::string ReadName(BinaryStream& in, std::int64_t offset, std::int32_t tagIndex) {
    if (offset < 0 || offset >= in.Length()) {
        throw Error::AtOffset("the name of tag " + std::to_string(tagIndex) + " lies outside the file (" +
                                  ByteCount(in.Length()) + ")",
                              offset);
    }
    in.SetPosition(offset);
    std::string name;
    while (!in.Eof()) {
        const auto byte = in.ReadInt8();
        if (byte == 0) return name;
        name.push_back(static_cast<char>(byte));
    }
    throw Error::AtOffset("the name of tag " + std::to_string(tagIndex) +
                              " has no zero byte before the end of the file",
                          offset);
}

}  // namespace

HaloPcMap::HaloPcMap() = default;

std::string HaloPcMap::Reverse(std::string_view text) { return std::string(text.rbegin(), text.rend()); }

bool HaloPcMap::HasDaehHeader() const { return EqualsIgnoringCase(HeaderCode, kHeaderCode); }

void HaloPcMap::LoadMap(const std::optional<std::filesystem::path>& chosen) {
    if (!chosen) {
        f.reset();  // a cancelled chooser empties f and leaves the rest as it was
        return;
    }
    // Build the new state aside and swap it in only when the whole index has been read.
    HaloPcMap loaded;
    BinaryStream in = BinaryStream::OpenAsBinaryFile(*chosen, BinaryStream::Mode::ReadOnly);
    if (in.Length() < 4) {
        throw Error::AtOffset("the file is too short for a map header (" + ByteCount(in.Length()) + ")",
                              0);
    }
    in.SetPosition(kHeaderCodeOffset);
    loaded.HeaderCode = in.Read(4);
    loaded.LoadedLength = in.Length();
    loaded.indexOffset = in.ReadInt32At(loaded.HasDaehHeader() ? kIndexOffsetField : kAlternateIndexOffsetField,
                                   "the index offset field");
    if (loaded.indexOffset < 0 || loaded.indexOffset + kIndexHeaderSize > in.Length()) {
        throw Error::AtOffset("the index header lies outside the file (" + ByteCount(in.Length()) + ")",
                              loaded.indexOffset);
    }
    loaded.MapMagic = in.ReadInt32At(loaded.indexOffset + kIndexMapMagic, "MapMagic");
    loaded.TagCount = in.ReadInt32At(loaded.indexOffset + kIndexTagCount, "TagCount");
    loaded.tagOffset = Wrap32(std::int64_t{loaded.indexOffset} + kIndexHeaderSize);
    loaded.Magic = Wrap32(std::int64_t{loaded.MapMagic} - loaded.tagOffset);
    if (loaded.TagCount <= 0) {
        throw Error::AtOffset("the map has no tags (TagCount " + std::to_string(loaded.TagCount) + ")",
                              loaded.indexOffset + kIndexTagCount);
    }
    const std::int64_t indexEnd = std::int64_t{loaded.tagOffset} + kTagEntrySize * loaded.TagCount;
    if (indexEnd > in.Length()) {
        throw Error::AtOffset("the tag index of " + std::to_string(loaded.TagCount) +
                                  " entries runs past the end of the file (" + ByteCount(in.Length()) + ")",
                              loaded.tagOffset);
    }

    std::vector<std::uint8_t> entries(static_cast<std::size_t>(indexEnd - loaded.tagOffset));
    in.SetPosition(loaded.tagOffset);
    in.ReadInto(entries.data(), entries.size());
    loaded.TagCache.reserve(static_cast<std::size_t>(loaded.TagCount));
    for (std::int32_t i = 0; i < loaded.TagCount; ++i) {
        const EntryBytes e{entries.data() + kTagEntrySize * i};
        auto tag = std::make_shared<Tag>();
        tag->Class1 = e.ClassCode(kTagClass1);
        tag->Class2 = e.ClassCode(kTagClass2);
        tag->Class3 = e.ClassCode(kTagClass3);
        tag->ident = e.Int32(kTagIdent);  // unsigned on disk, kept with the same bit pattern
        tag->NameOffset = Wrap32(std::int64_t{e.Int32(kTagNameAddress)} - loaded.Magic);
        tag->Name = ReadName(in, tag->NameOffset, i);
        tag->Offset = Wrap32(std::int64_t{e.Int32(kTagDataAddress)} - loaded.Magic);
        loaded.TagCache.push_back(tag);
        loaded.TagsByIdent.insert_or_assign(tag->ident, i);  // a later duplicate wins
        loaded.TagByName.insert_or_assign(tag->Class1 + ":" + tag->Name, i);
    }
    in.Close();
    loaded.Scenario = loaded.TagCache.front();
    loaded.f = *chosen;
    *this = std::move(loaded);
}

}  // namespace xsc

#include "map/HaloPcMap.h"

#include <algorithm>
#include <utility>

#include "map/CompileMark.h"
#include "map/MapFile.h"
#include "map/MapFormat.h"
#include "runtime/BinaryStream.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/Int32.h"
#include "runtime/Text.h"
#include "runtime/XmlDocument.h"

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
    if (in.ReadUpToZero(name)) return name;
    throw Error::AtOffset("the name of tag " + std::to_string(tagIndex) +
                              " has no zero byte before the end of the file",
                          offset);
}

// The file's first bytes, as many as the header codes of both kinds need.
std::string HeadOf(BinaryStream& in) {
    std::string head(static_cast<std::size_t>(std::min(in.Length(), kHeaderCodesEnd)), '\0');
    in.SetPosition(0);
    in.ReadInto(reinterpret_cast<std::uint8_t*>(head.data()), head.size());
    return head;
}

Error NotAMap(std::string_view head) {
    const bool script = LooksLikeScript(head);
    return Error::InMap("this is not a map of the PC game: neither \"" + std::string(kHeaderCode) + "\" at " +
                        Hex(kHeaderCodeOffset) + " nor \"" + std::string(kAlternateHeaderCode) + "\" at " +
                        Hex(kAlternateHeaderCodeField) + (script ? "; it looks like a script" : ""));
}

}  // namespace

HaloPcMap::HaloPcMap() = default;

std::string HaloPcMap::Reverse(std::string_view text) { return std::string(text.rbegin(), text.rend()); }

bool HaloPcMap::HasHeaderCode(std::string_view head) {
    const auto at = [head](std::int64_t offset, std::size_t size) {
        return static_cast<std::int64_t>(head.size()) >= offset + static_cast<std::int64_t>(size)
                   ? head.substr(static_cast<std::size_t>(offset), size)
                   : std::string_view();
    };
    return EqualsIgnoringCase(at(kHeaderCodeOffset, kHeaderCode.size()), kHeaderCode) ||
           at(kAlternateHeaderCodeField, kAlternateHeaderCode.size()) == kAlternateHeaderCode;
}

bool HaloPcMap::HasDaehHeader() const { return EqualsIgnoringCase(HeaderCode, kHeaderCode); }

void HaloPcMap::LoadMap(const std::optional<std::filesystem::path>& chosen) {
    if (!chosen) {
        f.reset();  // a cancelled chooser empties f and leaves the rest as it was
        return;
    }
    BinaryStream in = BinaryStream::OpenAsBinaryFile(*chosen, BinaryStream::Mode::ReadOnly);
    Load(*chosen, in, false);
}

void HaloPcMap::LoadMap(MapFile& file) { Load(file.Path(), file.Stream(), true); }

void HaloPcMap::Load(const std::filesystem::path& path, BinaryStream& in, bool locked) {
    // Build the new state aside and swap it in only when the whole index has been read.
    HaloPcMap loaded;
    // Under a lock of our own no other process can be compiling it: the mark is a leftover.
    if (HasCompileMark(in)) RefuseMarkedMap(path, locked ? MarkedMapLock::Held : MarkedMapLock::Probe);
    try {
        loaded.ReadIndex(in);
    } catch (const Error&) {
        // Whatever a file that is no map trips on first says nothing useful about it.
        const std::string head = HeadOf(in);
        if (!HasHeaderCode(head)) throw NotAMap(head);
        throw;
    }
    loaded.f = path;
    *this = std::move(loaded);
}

void HaloPcMap::ReadIndex(BinaryStream& in) {
    if (in.Length() < 4) {
        throw Error::AtOffset("the file is too short for a map header (" + ByteCount(in.Length()) + ")", 0);
    }
    in.SetPosition(kHeaderCodeOffset);
    HeaderCode = in.Read(4);
    LoadedLength = in.Length();
    const bool daeh = HasDaehHeader();
    indexOffset = in.ReadInt32At(daeh ? kIndexOffsetField : kAlternateIndexOffsetField, "the index offset field");
    ReadHeaderSizes(in);
    if (indexOffset < 0 || indexOffset + kIndexHeaderSize > in.Length()) {
        throw Error::AtOffset("the index header lies outside the file (" + ByteCount(in.Length()) + ")", indexOffset);
    }
    MapMagic = in.ReadInt32At(indexOffset + kIndexMapMagic, "MapMagic");
    TagCount = in.ReadInt32At(indexOffset + kIndexTagCount, "TagCount");
    tagOffset = Wrap32(std::int64_t{indexOffset} + kIndexHeaderSize);
    Magic = Wrap32(std::int64_t{MapMagic} - tagOffset);
    if (TagCount <= 0) {
        throw Error::AtOffset("the map has no tags (TagCount " + std::to_string(TagCount) + ")", indexOffset + kIndexTagCount);
    }
    const std::int64_t indexEnd = std::int64_t{tagOffset} + kTagEntrySize * TagCount;
    if (indexEnd > in.Length()) {
        throw Error::AtOffset("the tag index of " + std::to_string(TagCount) + " entries runs past the end of the file (" +
                                  ByteCount(in.Length()) + ")",
                              tagOffset);
    }

    std::vector<std::uint8_t> entries(static_cast<std::size_t>(indexEnd - tagOffset));
    in.SetPosition(tagOffset);
    in.ReadInto(entries.data(), entries.size());
    TagCache.reserve(static_cast<std::size_t>(TagCount));
    TagsByIdent.reserve(static_cast<std::size_t>(TagCount));
    TagByName.reserve(static_cast<std::size_t>(TagCount));
    std::string key;
    for (std::int32_t i = 0; i < TagCount; ++i) {
        const EntryBytes e{entries.data() + kTagEntrySize * i};
        auto tag = std::make_shared<Tag>();
        tag->Class1 = e.ClassCode(kTagClass1);
        tag->Class2 = e.ClassCode(kTagClass2);
        tag->Class3 = e.ClassCode(kTagClass3);
        tag->ident = e.Int32(kTagIdent);  // unsigned on disk, kept with the same bit pattern
        tag->NameOffset = Wrap32(std::int64_t{e.Int32(kTagNameAddress)} - Magic);
        tag->Name = ReadName(in, tag->NameOffset, i);
        tag->Offset = Wrap32(std::int64_t{e.Int32(kTagDataAddress)} - Magic);
        TagCache.push_back(tag);
        TagsByIdent.insert_or_assign(tag->ident, i);  // a later duplicate wins
        key.assign(tag->Class1).append(1, ':').append(tag->Name);
        TagByName.insert_or_assign(key, i);
    }
    Scenario = TagCache.front();
}

// The header's own account of the file, which the compile holds the file to (a map cut short
// says it is longer than it is). Read where the header kind puts it; the alternate header always
// reaches it, as its index offset lies behind it.
void HaloPcMap::ReadHeaderSizes(BinaryStream& in) {
    HeaderFileSize = in.ReadInt32At(FileSizeField(), "the header's file size field");
    HeaderTagDataSize = in.ReadInt32At(TagDataSizeField(), "the header's tag data size field");
}

std::int64_t HaloPcMap::FileSizeField() const { return HasDaehHeader() ? kFileSizeField : kAlternateFileSizeField; }

std::int64_t HaloPcMap::TagDataSizeField() const {
    return HasDaehHeader() ? kTagDataSizeField : kAlternateTagDataSizeField;
}

bool HaloPcMap::HasDataInFile(const Tag& tag) const {
    return Wrap32(std::int64_t{tag.Offset} + Magic) != 0 && tag.Offset >= 0 && tag.Offset <= LoadedLength;
}

}  // namespace xsc

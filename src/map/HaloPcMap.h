#pragma once
// The opened map: header values, the tag index as Tag records, lookups by name and identity,
// the scenario tag and the chosen file. No stream stays open between operations.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "map/Tag.h"
#include "map/UpdateFromPoint.h"

namespace xsc {

class BinaryStream;
class MapFile;

class HaloPcMap {
public:
    // Constructor: empty tag state, integer fields 0, no Scenario, no file.
    HaloPcMap();

    std::int32_t Magic = 0;      // address - Magic = file offset
    std::int32_t TagCount = 0;   // from the index header
    std::vector<std::shared_ptr<Tag>> TagCache;                  // position i = tag entry i
    std::unordered_map<std::string, std::int32_t> TagByName;     // Class1 + ":" + Name -> position
    std::unordered_map<std::int32_t, std::int32_t> TagsByIdent;  // ident -> position
    std::shared_ptr<Tag> Scenario;  // the same record as TagCache[0]
    std::int32_t tagOffset = 0;     // indexOffset + 0x28
    std::int32_t indexOffset = 0;
    std::int32_t MapMagic = 0;
    std::optional<std::filesystem::path> f;  // the chosen map file; empty before a load
    std::string HeaderCode;  // the four raw bytes at offset 0, as read by the last load
    std::int64_t LoadedLength = 0;  // the file's length when the last load read it
    std::int32_t HeaderFileSize = 0;     // the length the header gives (FileSizeField())
    std::int32_t HeaderTagDataSize = 0;  // the tag data's length the header gives (TagDataSizeField())

    // Loads the chosen map. An empty choice (a cancelled chooser) empties `f` and changes nothing
    // else. A map that cannot be read throws Error and leaves this object exactly as it was; so
    // does a map that carries the compile mark (map/CompileMark.h): it is not whole.
    void LoadMap(const std::optional<std::filesystem::path>& chosen);
    // Loads the map a command opened (its lock held), through its stream.
    void LoadMap(MapFile& file);

    // The bytes of `text` in reverse order: four stored bytes b0 b1 b2 b3 give b3 b2 b1 b0.
    static std::string Reverse(std::string_view text);

    // The address fix-up for a move of everything from `insertionPoint` on by `growth`, with the
    // word scan from `scanStart` (tag entry 1's data offset as loaded). It corrects the tag index
    // and the moved bytes that the compile hands it, in memory (map/UpdateFromPoint.h).
    AddressFixup UpdateFromPoint(std::int32_t scanStart, std::int32_t insertionPoint, std::int32_t growth) const;
    // After a compile in place wrote the file, which moved by `fixup`'s growth and is now
    // `newLength` bytes long: the tags' data offsets, the length and the header's sizes become
    // what the compile wrote (the index pass's corrections, the moved size fields), so the object
    // describes the file as a load of it would.
    void Moved(const AddressFixup& fixup, std::int64_t newLength);

    // True when the header code is "daeh" in any letter case (index offset taken from 0x10).
    bool HasDaehHeader() const;
    // Where the header keeps the file's length and the tag data's: 0x008 and 0x014 in a "daeh"
    // header, 0x5E8 and 0x2C4 in the alternate one. A compile that moves the tail corrects both.
    std::int64_t FileSizeField() const;
    std::int64_t TagDataSizeField() const;
    // True when a file's first bytes (`head`, mapformat::kHeaderCodesEnd of them or fewer) hold the
    // code of either header kind: "daeh" at 0 in any letter case, or "dehE" at 0x2C0.
    static bool HasHeaderCode(std::string_view head);

    // False for a tag whose data is not in the tag data (its data address is 0, as BSP tags'
    // are) or whose data offset lies outside the file.
    bool HasDataInFile(const Tag& tag) const;

private:
    void Load(const std::filesystem::path& path, BinaryStream& in, bool locked);
    void ReadIndex(BinaryStream& in);
    void ReadHeaderSizes(BinaryStream& in);
};

}  // namespace xsc

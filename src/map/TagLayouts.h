#pragma once
// Where the addresses are in the data of every tag class of a PC map: the table
// map/data/tag-layouts.tsv, compiled in as the resource ":/xsc/map/tag-layouts.tsv".
//
// A class names its root struct. A struct is a fixed-size record whose fields of interest are:
//   block   12 bytes: +0 int32 element count, +4 address of element 0 (0 when the count is 0),
//           +8 unused. The elements are `count` consecutive structs of the element struct.
//   data    20 bytes: +0 int32 size, +4 flags word, +8 file offset, +0xC address of the bytes,
//           +0x10 unused. Only the size and the address mean anything, unless the field holds a
//           file offset (sound samples: +8 is the bytes' offset in this map, or in sounds.map
//           when bit 0 of the flags word is set).
//   tagref  16 bytes: +0 class code, +4 address of the referenced tag's path, +8 path length
//           (0 in PC maps), +0xC tag ID (not an address).
//   pointer a bare 32-bit word that is never an address of the tag data (file offsets, runtime
//           values, BSP-based addresses): listed so a walk knows to leave it alone.
// Every other byte of a struct is plain data (numbers, floats, flags), never an address.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xsc {

namespace taglayout {
// The table's fixed record layouts.
constexpr std::int64_t kBlockSize = 12;
constexpr std::int64_t kBlockCount = 0x0;
constexpr std::int64_t kBlockAddress = 0x4;
constexpr std::int64_t kDataSize = 20;
constexpr std::int64_t kDataByteCount = 0x0;
constexpr std::int64_t kDataFlags = 0x4;
constexpr std::int64_t kDataFileOffset = 0x8;
constexpr std::int64_t kDataAddress = 0xC;
constexpr std::uint32_t kDataExternal = 0x1;  // flags word: the bytes are in a resource map
constexpr std::int64_t kTagRefSize = 16;
constexpr std::int64_t kTagRefClass = 0x0;
constexpr std::int64_t kTagRefPath = 0x4;
constexpr std::int64_t kTagRefId = 0xC;
constexpr std::int64_t kPointerSize = 4;
// A bitmap's pixel data offset is into bitmaps.map when this bit of the 16-bit flags at +0xE of
// its bitmap_data element is set, else into this map.
constexpr std::int64_t kBitmapDataFlags = 0xE;
constexpr std::uint16_t kBitmapDataExternal = 0x100;
}  // namespace taglayout

// The table's flags, one bit each.
enum LayoutFlag : std::uint32_t {
    kStripped = 1u << 0,      // the map keeps nothing there: never followed, never an address
    kMccOnly = 1u << 1,       // a later engine's field: padding on PC
    kIndexZeroed = 1u << 2,   // 0 in a Custom Edition resource tag (its sound's pitch ranges)
    kFileOffset = 1u << 3,    // a data field whose +8 is a file offset (see above)
    kExternalOk = 1u << 4,    // the data's flags word bit 0 (external) means something
    kRuntime = 1u << 5,       // filled in by the engine
    kNotAddress = 1u << 6,    // never an address of the tag data
    kXboxOnly = 1u << 7,      // meaningful only in console maps
    kBsp = 1u << 8,           // based on a BSP's own base, never on Magic
    kParentOnly = 1u << 9,    // a class no tag has: only a parent of others
    kConsoleOnly = 1u << 10,  // the console form of a class
    kNoDefinition = 1u << 11, // no layout is known
};

struct LayoutStruct;

struct LayoutField {
    enum class Kind { Block, Data, TagRef, Pointer };
    Kind kind = Kind::Pointer;
    std::int64_t offset = 0;
    std::string name;
    std::uint32_t flags = 0;
    std::string target;                      // block: element struct; tagref: classes; pointer: what
    const LayoutStruct* element = nullptr;   // block: the element struct
    std::int64_t max = -1;                   // block: the most elements a definition allows; -1 none
    std::int64_t Size() const;               // the field's bytes in its struct
};

struct LayoutStruct {
    std::string name;
    std::int64_t size = 0;
    std::uint32_t flags = 0;
    std::vector<LayoutField> fields;  // in offset order
};

struct LayoutClass {
    std::string code;  // as the stored word reads printed most significant byte first ("weap")
    std::string name;  // the long name ("weapon")
    const LayoutStruct* root = nullptr;
    std::uint32_t flags = 0;
    // Why a walk cannot use this class's layout (no definition, a parent or console class), or
    // empty when it can.
    std::string Unwalkable() const;
};

class TagLayouts {
public:
    // The table compiled into the program, read once.
    static const TagLayouts& Builtin();
    // Reads and checks a table: every struct a row names exists, fields lie inside their struct
    // in offset order without overlapping, sizes agree. Throws Error naming the line.
    static TagLayouts Parse(std::string_view text);

    const LayoutClass* Class(std::string_view code) const;
    const LayoutStruct* Struct(std::string_view name) const;
    const std::map<std::string, LayoutClass, std::less<>>& Classes() const { return classes_; }
    std::size_t StructCount() const { return structs_.size(); }

private:
    std::map<std::string, LayoutClass, std::less<>> classes_;
    std::map<std::string, std::unique_ptr<LayoutStruct>, std::less<>> structs_;
};

}  // namespace xsc

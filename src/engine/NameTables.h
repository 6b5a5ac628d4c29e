#pragma once
// What the game makes of a literal that names something of the map: how each value type is stored
// in a node's 32-bit value field, which scenario block (or block of another tag) holds the names a
// type designates, which placement blocks put an object under a name, which tag classes a tag type
// takes and the words of the enum types.
//
// The facts live in data/value-encoding.tsv, scenario-blocks.tsv, object-spawn-blocks.tsv,
// tag-types.tsv and enums.tsv, compiled in like the other engine tables. Each keeps the column that
// says how sure its facts are ("genuine": seen on maps the game shipped; "two_toolkits",
// "one_toolkit": read in public tools; "none"), so that a check can say where a rule rests on a
// single source.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xsc::engine {

// How a literal of a value type is stored in the node's value field.
enum class Storage {
    NotALiteral,   // no literal has this type
    Zero,          // value 0 (function name nodes)
    Bool8,         // boolean
    Float32,       // real
    Int16,         // short
    Int32,         // long
    StringOffset,  // string: the text alone
    BlockIndex,    // the index of the element of a block whose name is the text
    AiIndex32,     // encounter, squad or platoon (AiValue below)
    TagId,         // the ID of the tag whose path is the text
    EnumIndex,     // the index of a word of enums.tsv
    Unresolved,    // no tool examined resolves it: stored as the text alone, value 0
};

struct ValueEncoding {
    std::int32_t code = 0;
    std::string name;                  // the value type's name
    Storage storage = Storage::NotALiteral;
    std::optional<std::uint32_t> none;  // what the word "none" stores; empty: "none" is no word of it
    std::string evidence;              // genuine, two_toolkits, one_toolkit, toolkit or none
};

// A block field: 12 bytes (count, address, unused) at `fieldOffset` of its parent structure.
struct NamedBlockLayout {
    std::string block;                // "trigger_volumes"
    std::string parent;               // "scnr", "encounters element", or the tag it belongs to
    std::int64_t fieldOffset = 0;
    std::int64_t elementSize = 0;     // 0 for a field that is no block (a tag dependency, data)
    std::optional<std::int64_t> nameOffset;  // the 32-byte name of each element
    std::vector<std::int32_t> valueTypes;   // the value types that store an index into it
};

// A block of placed objects: each placement names an object by its index in object_names.
struct SpawnBlockLayout {
    std::string block;                // "scenery"
    std::int64_t fieldOffset = 0;
    std::int64_t elementSize = 0;
    std::int64_t objectNameOffset = 0;  // int16 index into object_names, -1: unnamed
    std::int32_t objectTypeCode = 0;
    std::string objectType;           // "device_control"
    std::vector<std::int32_t> valueTypes;  // the object value types that may name what it places
};

struct TagTypeClasses {
    std::int32_t code = 0;
    std::string name;                 // "sound"
    std::string tagClass;             // "snd!", in reading order
    std::vector<std::string> concreteClasses;  // for an abstract class (obje): the classes that are one
};

struct EnumWord {
    std::int32_t code = 0;            // value type
    std::int32_t index = 0;           // what it stores
    std::string word;
    std::string evidence;
};

// The texts of the five tables, for Parse.
struct NameTableTexts {
    std::string valueEncoding;
    std::string scenarioBlocks;
    std::string objectSpawnBlocks;
    std::string tagTypes;
    std::string enums;
};

class NameTables {
public:
    static const NameTables& BuiltIn();
    // Throws Error naming the table and line of the first row that cannot be read.
    static NameTables Parse(const NameTableTexts& texts);

    // Null for a code the table does not list.
    const ValueEncoding* Encoding(std::int32_t code) const;
    // The block layout of this name; throws Error when the table lacks it.
    const NamedBlockLayout& Block(std::string_view name) const;
    // The scenario's blocks of named elements that script values designate, in table order (the
    // scripts block excluded: a value of type script names a script of the document).
    std::vector<const NamedBlockLayout*> NamedScenarioBlocks() const;
    // The block whose element index a value of this type stores (the first listed); null for none.
    const NamedBlockLayout* BlockOfType(std::int32_t code) const;
    const std::vector<SpawnBlockLayout>& SpawnBlocks() const { return spawnBlocks_; }
    const TagTypeClasses* TagType(std::int32_t code) const;
    const std::vector<TagTypeClasses>& TagTypes() const { return tagTypes_; }
    // The words of an enum type, in table order.
    std::vector<const EnumWord*> Words(std::int32_t code) const;

private:
    std::vector<ValueEncoding> encodings_;
    std::vector<NamedBlockLayout> blocks_;
    std::vector<SpawnBlockLayout> spawnBlocks_;
    std::vector<TagTypeClasses> tagTypes_;
    std::vector<EnumWord> words_;
};

}  // namespace xsc::engine

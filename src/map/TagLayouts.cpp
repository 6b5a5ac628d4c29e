#include "map/TagLayouts.h"

#include <QFile>

#include <algorithm>
#include <charconv>

#include "runtime/Error.h"
#include "runtime/TableLines.h"

// The resource is compiled into the static core library; initialising it by name makes sure the
// linker keeps it, whichever program links the library.
static void InitTagLayoutData() { Q_INIT_RESOURCE(xsc_tag_layouts); }

namespace xsc {
namespace {

// The table's columns, in order.
enum Column { kKind, kOwner, kOffset, kName, kTarget, kSize, kMax, kFlags, kNote, kColumns };

using Row = TableLine;

Error RowError(int line, const std::string& what) {
    return Error("tag layout table, line " + std::to_string(line) + ": " + what);
}

std::vector<Row> ReadRows(std::string_view text) {
    std::vector<Row> rows = TableLines(text);
    for (const Row& row : rows) {
        if (row.cells.size() != kColumns) {
            throw RowError(row.number, std::to_string(row.cells.size()) + " cells, " + std::to_string(kColumns) + " expected");
        }
    }
    return rows;
}

std::int64_t Number(const Row& row, Column column, int base) {
    std::string_view text = row.cells[column];
    if (base == 16 && text.substr(0, 2) == "0x") text.remove_prefix(2);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) {
        throw RowError(row.number, "\"" + std::string(row.cells[column]) + "\" is not a number");
    }
    return value;
}

std::uint32_t Flags(const Row& row) {
    static const struct {
        std::string_view name;
        LayoutFlag flag;
    } kNames[] = {{"stripped", kStripped},   {"mcc_only", kMccOnly},         {"index_zeroed", kIndexZeroed},
                  {"file_offset", kFileOffset}, {"external_ok", kExternalOk}, {"runtime", kRuntime},
                  {"not_address", kNotAddress}, {"xbox_only", kXboxOnly},     {"bsp", kBsp},
                  {"parent_only", kParentOnly}, {"console_only", kConsoleOnly}, {"no_definition", kNoDefinition}};
    std::uint32_t flags = 0;
    std::string_view text = row.cells[kFlags];
    if (text == "-") return 0;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view name = text.substr(0, comma);
        const auto known = std::find_if(std::begin(kNames), std::end(kNames), [&](const auto& n) { return n.name == name; });
        if (known == std::end(kNames)) throw RowError(row.number, "unknown flag \"" + std::string(name) + "\"");
        flags |= known->flag;
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    }
    return flags;
}

LayoutField::Kind FieldKind(const Row& row) {
    const std::string_view kind = row.cells[kKind];
    if (kind == "block") return LayoutField::Kind::Block;
    if (kind == "data") return LayoutField::Kind::Data;
    if (kind == "tagref") return LayoutField::Kind::TagRef;
    if (kind == "pointer") return LayoutField::Kind::Pointer;
    throw RowError(row.number, "unknown row kind \"" + std::string(kind) + "\"");
}

// A field's declared size must be its kind's (a block's size column gives the element size).
void CheckFieldSize(const Row& row, const LayoutField& field) {
    if (field.kind == LayoutField::Kind::Block) return;
    if (Number(row, kSize, 10) != field.Size()) {
        throw RowError(row.number, "a " + std::string(row.cells[kKind]) + " field is " + std::to_string(field.Size()) +
                                     " bytes, not " + std::string(row.cells[kSize]));
    }
}

// Fields in offset order, each inside its struct and clear of the next.
void CheckStructFields(const LayoutStruct& s) {
    std::int64_t end = 0;
    for (const LayoutField& f : s.fields) {
        if (f.offset < end || f.offset + f.Size() > s.size) {
            throw Error("tag layout table: field " + f.name + " of " + s.name + " at " + Hex(f.offset) +
                        " overlaps another or passes the struct's " + std::to_string(s.size) + " bytes");
        }
        end = f.offset + f.Size();
    }
}

QByteArray BuiltinText() {
    InitTagLayoutData();
    QFile file(QStringLiteral(":/xsc/map/tag-layouts.tsv"));
    if (!file.open(QIODevice::ReadOnly)) throw Error("internal error: the tag layout table is not compiled in");
    return file.readAll();
}

}  // namespace

std::int64_t LayoutField::Size() const {
    switch (kind) {
        case Kind::Block: return taglayout::kBlockSize;
        case Kind::Data: return taglayout::kDataSize;
        case Kind::TagRef: return taglayout::kTagRefSize;
        case Kind::Pointer: break;
    }
    return taglayout::kPointerSize;
}

std::string LayoutClass::Unwalkable() const {
    if (flags & kNoDefinition) return "no layout is known for class " + code;
    if (flags & kParentOnly) return "class " + code + " is only a parent of other classes";
    if (flags & kConsoleOnly) return "class " + code + " is the console form of its class";
    if (flags & kBsp) return "class " + code + " keeps its data with the BSPs";
    return {};
}

TagLayouts TagLayouts::Parse(std::string_view text) {
    TagLayouts layouts;
    const std::vector<Row> rows = ReadRows(text);
    for (const Row& row : rows) {
        if (row.cells[kKind] != "struct") continue;
        auto s = std::make_unique<LayoutStruct>();
        s->name = row.cells[kOwner];
        s->size = Number(row, kSize, 10);
        s->flags = Flags(row);
        if (!layouts.structs_.emplace(s->name, std::move(s)).second) {
            throw RowError(row.number, "struct " + std::string(row.cells[kOwner]) + " is defined twice");
        }
    }
    auto structNamed = [&layouts](const Row& row, std::string_view name) -> LayoutStruct* {
        const auto found = layouts.structs_.find(name);
        if (found == layouts.structs_.end()) throw RowError(row.number, "no struct " + std::string(name));
        return found->second.get();
    };
    for (const Row& row : rows) {
        const std::string_view kind = row.cells[kKind];
        if (kind == "struct") continue;
        if (kind == "class") {
            LayoutClass c{std::string(row.cells[kOwner]), std::string(row.cells[kName]), structNamed(row, row.cells[kTarget]),
                          Flags(row)};
            if (c.code.size() != 4) throw RowError(row.number, "a class code has 4 characters");
            if (c.root->size != Number(row, kSize, 10)) throw RowError(row.number, "the root struct's size differs");
            if (!layouts.classes_.emplace(c.code, c).second) throw RowError(row.number, "class " + c.code + " is defined twice");
            continue;
        }
        LayoutField field;
        field.kind = FieldKind(row);
        field.offset = Number(row, kOffset, 16);
        field.name = row.cells[kName];
        field.flags = Flags(row);
        field.target = row.cells[kTarget];
        if (field.kind == LayoutField::Kind::Block) {
            field.element = structNamed(row, field.target);
            if (field.element->size != Number(row, kSize, 10) || field.element->size <= 0) {
                throw RowError(row.number, "the element size differs from struct " + field.target + "'s");
            }
            if (row.cells[kMax] != "-") field.max = Number(row, kMax, 10);
        }
        CheckFieldSize(row, field);
        structNamed(row, row.cells[kOwner])->fields.push_back(std::move(field));
    }
    for (auto& [name, s] : layouts.structs_) {
        std::sort(s->fields.begin(), s->fields.end(), [](const LayoutField& a, const LayoutField& b) { return a.offset < b.offset; });
        CheckStructFields(*s);
    }
    return layouts;
}

const TagLayouts& TagLayouts::Builtin() {
    static const TagLayouts layouts = [] {
        const QByteArray text = BuiltinText();
        return Parse(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    }();
    return layouts;
}

const LayoutClass* TagLayouts::Class(std::string_view code) const {
    const auto found = classes_.find(code);
    return found == classes_.end() ? nullptr : &found->second;
}

const LayoutStruct* TagLayouts::Struct(std::string_view name) const {
    const auto found = structs_.find(name);
    return found == structs_.end() ? nullptr : found->second.get();
}

}  // namespace xsc

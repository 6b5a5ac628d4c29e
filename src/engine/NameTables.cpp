#include "engine/NameTables.h"

#include <algorithm>

#include "engine/TableRows.h"
#include "runtime/Error.h"

namespace xsc::engine {
namespace {

Storage ParseStorage(const std::string& cell) {
    static const std::pair<const char*, Storage> kStorages[] = {
        {"not_a_literal", Storage::NotALiteral}, {"zero", Storage::Zero},
        {"bool8", Storage::Bool8},               {"float32", Storage::Float32},
        {"int16", Storage::Int16},               {"int32", Storage::Int32},
        {"string_offset", Storage::StringOffset}, {"block_index", Storage::BlockIndex},
        {"ai_index32", Storage::AiIndex32},      {"tag_id", Storage::TagId},
        {"enum_index", Storage::EnumIndex},      {"unresolved", Storage::Unresolved}};
    for (const auto& [name, storage] : kStorages) {
        if (cell == name) return storage;
    }
    throw RowProblem{"unknown storage \"" + cell + "\""};
}

// "0xFFFFFFFF (one compiler)": the number the cell starts with; "-" or "unverified": none.
std::optional<std::uint32_t> ParseNoneValue(const std::string& cell) {
    if (cell.rfind("0x", 0) != 0) return std::nullopt;
    const std::size_t end = cell.find(' ');
    try {
        return static_cast<std::uint32_t>(std::stoul(cell.substr(2, end == std::string::npos ? end : end - 2), nullptr, 16));
    } catch (const std::exception&) {
        throw RowProblem{"\"" + cell + "\" is not a number"};
    }
}

// "-" or an offset.
std::optional<std::int64_t> ParseOptionalNumber(const std::string& cell) {
    if (cell == "-") return std::nullopt;
    return ParseNumber(cell);
}

std::vector<std::int32_t> ParseCodes(const std::string& cell) {
    std::vector<std::int32_t> codes;
    if (cell == "-") return codes;
    for (const std::string& word : SplitSpaces(cell)) codes.push_back(ParseNumber(word));
    return codes;
}

// Runs `read` on every row, reporting a fault with the table's name and the row's line.
template <typename Read>
void ForEachRow(const char* table, const std::string& text, const std::vector<std::string>& columns, Read read) {
    for (const Row& row : ReadRows(table, text, columns)) {
        try {
            read(row.cells);
        } catch (const RowProblem& p) {
            throw TableError(table, row.line, p.what);
        }
    }
}

bool Lists(const std::vector<std::int32_t>& codes, std::int32_t code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

}  // namespace

const NameTables& NameTables::BuiltIn() {
    static const NameTables tables = Parse({ReadResource("value-encoding.tsv"), ReadResource("scenario-blocks.tsv"),
                                            ReadResource("object-spawn-blocks.tsv"), ReadResource("tag-types.tsv"),
                                            ReadResource("enums.tsv")});
    return tables;
}

NameTables NameTables::Parse(const NameTableTexts& texts) {
    NameTables t;
    ForEachRow("value-encoding.tsv", texts.valueEncoding,
               {"code", "name", "storage", "target", "meaningful_bits", "none_value", "other_bits", "evidence", "notes"},
               [&](const std::vector<std::string>& c) {
                   t.encodings_.push_back({ParseNumber(c[0]), c[1], ParseStorage(c[2]), ParseNoneValue(c[5]), c[7]});
               });
    ForEachRow("scenario-blocks.tsv", texts.scenarioBlocks,
               {"block", "parent", "field_offset_hex", "field_offset", "element_size", "name_offset", "name_width",
                "value_type_codes", "cross_checked", "notes"},
               [&](const std::vector<std::string>& c) {
                   t.blocks_.push_back({c[0], c[1], ParseNumber(c[3]), ParseOptionalNumber(c[4]).value_or(0),
                                        ParseOptionalNumber(c[5]), ParseCodes(c[7])});
               });
    ForEachRow("object-spawn-blocks.tsv", texts.objectSpawnBlocks,
               {"block", "field_offset_hex", "field_offset", "element_size", "object_name_offset", "object_name_width",
                "palette_index_offset", "palette_index_width", "palette_block", "palette_offset_hex", "palette_offset",
                "palette_element_size", "palette_dependency_offset", "object_type_code", "object_type", "tag_class",
                "value_type_codes"},
               [&](const std::vector<std::string>& c) {
                   t.spawnBlocks_.push_back({c[0], ParseNumber(c[2]), ParseNumber(c[3]), ParseNumber(c[4]), ParseNumber(c[13]),
                                             c[14], ParseCodes(c[16])});
               });
    ForEachRow("tag-types.tsv", texts.tagTypes, {"code", "name", "tag_class", "class_name", "concrete_classes", "notes"},
               [&](const std::vector<std::string>& c) {
                   if (c[2].size() != 4) throw RowProblem{"\"" + c[2] + "\" is not a four-character class code"};
                   t.tagTypes_.push_back({ParseNumber(c[0]), c[1], c[2], SplitSpaces(c[4])});
               });
    ForEachRow("enums.tsv", texts.enums, {"code", "value_type", "index", "word", "evidence", "notes"},
               [&](const std::vector<std::string>& c) {
                   t.words_.push_back({ParseNumber(c[0]), ParseNumber(c[2]), c[3], c[4]});
               });
    return t;
}

const ValueEncoding* NameTables::Encoding(std::int32_t code) const {
    for (const ValueEncoding& e : encodings_) {
        if (e.code == code) return &e;
    }
    return nullptr;
}

const NamedBlockLayout& NameTables::Block(std::string_view name) const {
    for (const NamedBlockLayout& b : blocks_) {
        if (b.block == name) return b;
    }
    throw Error("internal error: the engine table scenario-blocks.tsv has no block " + std::string(name));
}

std::vector<const NamedBlockLayout*> NameTables::NamedScenarioBlocks() const {
    std::vector<const NamedBlockLayout*> found;
    for (const NamedBlockLayout& b : blocks_) {
        if (b.parent == "scnr" && b.nameOffset && b.elementSize > 0 && !b.valueTypes.empty() && b.block != "scripts") {
            found.push_back(&b);
        }
    }
    return found;
}

const NamedBlockLayout* NameTables::BlockOfType(std::int32_t code) const {
    for (const NamedBlockLayout& b : blocks_) {
        if (b.nameOffset && b.elementSize > 0 && Lists(b.valueTypes, code)) return &b;
    }
    return nullptr;
}

const TagTypeClasses* NameTables::TagType(std::int32_t code) const {
    for (const TagTypeClasses& t : tagTypes_) {
        if (t.code == code) return &t;
    }
    return nullptr;
}

std::vector<const EnumWord*> NameTables::Words(std::int32_t code) const {
    std::vector<const EnumWord*> found;
    for (const EnumWord& w : words_) {
        if (w.code == code) found.push_back(&w);
    }
    return found;
}

}  // namespace xsc::engine

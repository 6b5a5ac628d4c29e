#include "engine/EngineTables.h"

#include <algorithm>

#include "engine/TableRows.h"
#include "runtime/Error.h"

namespace xsc::engine {
namespace {

// Rows of "code name", codes 0, 1, 2, ... in order.
std::vector<std::string> ReadCodeNames(std::string_view table, std::string_view text) {
    std::vector<std::string> names;
    for (const Row& row : ReadRows(table, text, {"code", "name"})) {
        try {
            if (ParseNumber(row.cells[0]) != static_cast<std::int32_t>(names.size())) {
                throw RowProblem{"code " + row.cells[0] + " out of order"};
            }
        } catch (const RowProblem& p) {
            throw TableError(table, row.line, p.what);
        }
        names.push_back(row.cells[1]);
    }
    return names;
}

class TypeNames {
public:
    explicit TypeNames(const std::vector<std::string>& names) {
        for (std::size_t i = 0; i < names.size(); ++i) codes_.emplace(names[i], static_cast<std::int32_t>(i));
    }
    std::int32_t Code(const std::string& name) const {
        const auto it = codes_.find(name);
        if (it == codes_.end()) throw RowProblem{"unknown value type \"" + name + "\""};
        return it->second;
    }

private:
    std::unordered_map<std::string, std::int32_t> codes_;
};

// "boolean [short] [long]", "real...", "(boolean passthrough)...", "-".
std::vector<ParameterItem> ParseParameters(std::string_view text, const TypeNames& types) {
    constexpr std::string_view kRepeat = "...";
    std::vector<ParameterItem> items;
    if (text == "-") return items;
    for (std::size_t pos = 0; pos < text.size();) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        ParameterItem item;
        std::size_t end;
        std::string_view word;
        if (text[pos] == '(') {
            const std::size_t close = text.find(')', pos);
            if (close == std::string_view::npos || text.substr(close + 1, kRepeat.size()) != kRepeat) {
                throw RowProblem{"a group must be written (a b)..."};
            }
            for (const std::string& name : SplitSpaces(text.substr(pos + 1, close - pos - 1))) {
                item.types.push_back(types.Code(name));
            }
            if (item.types.empty()) throw RowProblem{"an empty group"};
            item.kind = ParameterItem::Kind::Repeated;
            end = close + 1 + kRepeat.size();
        } else {
            end = std::min(text.find(' ', pos), text.size());
            word = text.substr(pos, end - pos);
            if (word.size() > 2 && word.front() == '[' && word.back() == ']') {
                item.kind = ParameterItem::Kind::Optional;
                word = word.substr(1, word.size() - 2);
            } else if (word.size() > kRepeat.size() && word.ends_with(kRepeat)) {
                item.kind = ParameterItem::Kind::Repeated;
                word.remove_suffix(kRepeat.size());
            }
            item.types.push_back(types.Code(std::string(word)));
        }
        items.push_back(std::move(item));
        pos = end;
    }
    return items;
}

std::int32_t ParseFunctionNumber(const std::string& cell) {
    if (cell == "-") return EngineFunction::kAbsent;
    if (cell == "?") return EngineFunction::kNoNumber;
    return ParseNumber(cell);
}

bool ParseYes(const std::string& cell) {
    if (cell == "yes") return true;
    if (cell == "-") return false;
    throw RowProblem{"\"" + cell + "\" is neither yes nor -"};
}

}  // namespace

const EngineTables& EngineTables::BuiltIn() {
    static const EngineTables tables = [] {
        return Parse({ReadResource("functions.tsv"), ReadResource("globals.tsv"), ReadResource("value-types.tsv"),
                      ReadResource("script-types.tsv")});
    }();
    return tables;
}

EngineTables EngineTables::Parse(const EngineTableTexts& texts) {
    EngineTables t;
    t.valueTypes_ = ReadCodeNames("value-types.tsv", texts.valueTypes);
    t.scriptTypes_ = ReadCodeNames("script-types.tsv", texts.scriptTypes);
    const TypeNames types(t.valueTypes_);

    for (const Row& row : ReadRows("functions.tsv", texts.functions,
                                   {"name", "returns", "parameters", "retail", "custom", "demo"})) {
        try {
            EngineFunction f;
            f.name = row.cells[0];
            f.returns = types.Code(row.cells[1]);
            f.parametersText = row.cells[2];
            f.parameters = ParseParameters(row.cells[2], types);
            for (std::size_t b = 0; b < f.numbers.size(); ++b) f.numbers[b] = ParseFunctionNumber(row.cells[3 + b]);
            if (t.functionByName_.count(f.name) != 0) throw RowProblem{"\"" + f.name + "\" is listed twice"};
            t.functionByName_.emplace(f.name, t.functions_.size());
            t.functions_.push_back(std::move(f));
        } catch (const RowProblem& p) {
            throw TableError("functions.tsv", row.line, p.what);
        }
    }

    for (const Row& row : ReadRows("globals.tsv", texts.globals, {"name", "type", "retail", "custom", "demo"})) {
        try {
            EngineGlobal g;
            g.name = row.cells[0];
            g.type = types.Code(row.cells[1]);
            for (std::size_t b = 0; b < g.in.size(); ++b) g.in[b] = ParseYes(row.cells[2 + b]);
            const auto known = t.globalByName_.find(g.name);
            if (known != t.globalByName_.end()) {
                // A repeated row is harmless; a second, different row for one name is not.
                const EngineGlobal& first = t.globals_[known->second];
                if (first.type != g.type || first.in != g.in) {
                    throw RowProblem{"\"" + g.name + "\" differs from its first row"};
                }
                continue;
            }
            t.globalByName_.emplace(g.name, t.globals_.size());
            t.globals_.push_back(std::move(g));
        } catch (const RowProblem& p) {
            throw TableError("globals.tsv", row.line, p.what);
        }
    }

    try {
        t.AddConversions();
    } catch (const RowProblem& p) {
        throw TableError("value-types.tsv", 0, p.what);
    }
    return t;
}

// The conversions the engine makes when a value stands where another type is expected, besides
// the universal ones in CanConvert: numbers into each other (a real is cut, a long narrowed), a
// vehicle is a unit, and every kind of object (and an object's name) is an object and an
// object list.
void EngineTables::AddConversions() {
    const TypeNames types(valueTypes_);
    const auto add = [&](const char* from, const char* to) {
        conversions_.emplace_back(types.Code(from), types.Code(to));
    };
    add("real", "short");
    add("real", "long");
    add("short", "real");
    add("long", "short");
    add("long", "real");
    add("vehicle", "unit");
    for (const char* object : {"object", "unit", "vehicle", "weapon", "device", "scenery", "object_name"}) {
        add(object, "object");
        add(object, "object_list");
    }
    voidCode_ = types.Code("void");
    passthroughCode_ = types.Code("passthrough");
    std::sort(conversions_.begin(), conversions_.end());
}

bool EngineTables::CanConvert(std::int32_t from, std::int32_t to) const {
    // Any value can be dropped (void), and a passthrough value takes the type of its place.
    if (from == to || to == voidCode_ || from == passthroughCode_) return true;
    return std::binary_search(conversions_.begin(), conversions_.end(), std::make_pair(from, to));
}

const EngineFunction* EngineTables::FindFunction(std::string_view name) const {
    const auto it = functionByName_.find(std::string(name));
    return it == functionByName_.end() ? nullptr : &functions_[it->second];
}

const EngineGlobal* EngineTables::FindGlobal(std::string_view name) const {
    const auto it = globalByName_.find(std::string(name));
    return it == globalByName_.end() ? nullptr : &globals_[it->second];
}

std::vector<const EngineFunction*> EngineTables::FunctionsNumbered(EngineBuild build, std::int32_t number) const {
    std::vector<const EngineFunction*> found;
    if (number < 0) return found;
    for (const EngineFunction& f : functions_) {
        if (f.NumberIn(build) == number) found.push_back(&f);
    }
    return found;
}

std::optional<std::int32_t> EngineTables::ValueTypeCode(std::string_view name) const {
    const auto it = std::find(valueTypes_.begin(), valueTypes_.end(), name);
    if (it == valueTypes_.end()) return std::nullopt;
    return static_cast<std::int32_t>(it - valueTypes_.begin());
}

std::string EngineTables::ValueTypeName(std::int32_t code) const {
    if (code < 0 || static_cast<std::size_t>(code) >= valueTypes_.size()) return {};
    return valueTypes_[static_cast<std::size_t>(code)];
}

}  // namespace xsc::engine

// A peer's check of the examples: each examples/*.hsc compiled into the sample map, its node
// trees read back from the file's bytes and held to what docs/map-format.md says the game reads,
// with the engine's tables read from src/engine/data/ here, without the compiler's code:
//   function call (8)   its function's number in the custom build; a name node (9, value type 2)
//                       with the same number and text; arguments of its parameters' types
//   script call (10)    the index of the record its text names
//   global (13)         an engine global of the build by name: FF FF FF FF
//   value (9)           number field = value type; booleans 01/00 FF FF FF, shorts FF FF in the
//                       high half, reals finite floats, names and strings a text, scripts the
//                       index of the record their text names; names of the map's things what the
//                       generator's catalogue (mapgen/SampleNames.h) gives: the element's index in
//                       its block, the encounter's, the tag's ID, the word's number with FF FF
// and every value type the type of its place: a parameter's, void for a statement, the script's
// return type for its last; where a parameter is passthrough, the call's own for if and begin.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

#include "mapgen/SampleNames.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

namespace fs = std::filesystem;

const fs::path kRoot = fs::path(__FILE__).parent_path().parent_path().parent_path();

constexpr int kVoid = 4, kBoolean = 5, kReal = 6, kShort = 7, kString = 9, kScript = 10, kPassthrough = 3;

std::vector<std::vector<std::string>> Rows(const std::string& table) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(test::ReadText(kRoot / "src" / "engine" / "data" / table));
    bool header = true;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        if (std::exchange(header, false)) continue;
        std::vector<std::string> cells;
        std::istringstream fields(line);
        for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

struct Function {
    int number = 0;
    std::string parameters;
};

struct Tables {
    std::map<std::string, int> types;  // value type codes by name
    std::map<std::string, Function> functions;  // of the custom build
    std::map<std::string, int> globals;
    Tables() {
        for (const auto& row : Rows("value-types.tsv")) types[row[1]] = std::stoi(row[0]);
        for (const auto& row : Rows("functions.tsv")) {
            if (row[4] != "-" && row[4] != "?") functions[row[0]] = {std::stoi(row[4]), row[2]};
        }
        for (const auto& row : Rows("globals.tsv")) {
            if (row[3] == "yes") globals[row[0]] = types.at(row[1]);
        }
    }

    // The parameter type of each of n arguments: required ones, then optional ones, then a
    // repeated item (a type or a group in parentheses) for the rest.
    std::vector<int> Parameters(const std::string& list, std::size_t n) const {
        std::vector<int> required, optional, repeated;
        std::istringstream words(list == "-" ? "" : list);
        for (std::string word; words >> word;) {
            if (word.front() == '[') {
                optional.push_back(types.at(word.substr(1, word.size() - 2)));
            } else if (word.front() == '(') {
                repeated.push_back(types.at(word.substr(1)));
            } else if (word.ends_with(")...")) {
                repeated.push_back(types.at(word.substr(0, word.size() - 4)));
            } else if (word.ends_with("...")) {
                repeated.push_back(types.at(word.substr(0, word.size() - 3)));
            } else {
                required.push_back(types.at(word));
            }
        }
        std::vector<int> places = required;
        for (std::size_t i = 0; places.size() < n && i < optional.size(); ++i) places.push_back(optional[i]);
        while (places.size() < n && !repeated.empty()) places.insert(places.end(), repeated.begin(), repeated.end());
        EXPECT_EQ(places.size(), n) << list;
        return places;
    }
};

class TreeCheck {
public:
    TreeCheck(const test::Compiled& c, const Tables& tables, int scripts) : c_(c), tables_(tables) {
        const test::Bytes records = test::RecordsIn(c.after, c.layout, c.summary.stringBytes, scripts);
        for (int i = 0; i < scripts; ++i) {
            const char* name = reinterpret_cast<const char*>(records.data() + 92 * i);
            records_.push_back({name, test::Get16(records, 92 * i + 0x20), test::Get16(records, 92 * i + 0x22),
                                test::Get16(records, 92 * i + 0x24)});
        }
    }

    void Script(int index) {
        const Record& r = records_[static_cast<std::size_t>(index)];
        const test::Node root = Node(r.rootSlot);
        EXPECT_EQ(root.expType, 8);
        EXPECT_EQ(root.engine, 0);
        EXPECT_EQ(root.valueType, r.returnType);
        const std::vector<int> statements = Chain(Node(root.low).sibIndex);
        for (std::size_t i = 0; i < statements.size(); ++i) {
            const bool last = i + 1 == statements.size();
            Expression(statements[i], last && r.type >= 3 ? r.returnType : kVoid);
        }
    }

private:
    struct Record {
        std::string name;
        int type, returnType, rootSlot;
    };

    test::Node Node(int slot) const { return test::NodeAt(c_.after, c_.layout, slot); }

    std::string Text(std::uint32_t offset) const {
        return reinterpret_cast<const char*>(c_.after.data() + c_.layout.stringDataOffset + offset);
    }

    // The slots of a sibling chain from `first` (0xFFFF: none).
    std::vector<int> Chain(int first) const {
        std::vector<int> slots;
        for (int slot = first; slot != 0xFFFF; slot = Node(slot).sibIndex) slots.push_back(slot);
        return slots;
    }

    int RecordIndex(const std::string& name) const {
        for (std::size_t i = 0; i < records_.size(); ++i) {
            if (records_[i].name == name) return static_cast<int>(i);
        }
        ADD_FAILURE() << "no record named " << name;
        return -1;
    }

    void Expression(int slot, int place) {
        const test::Node n = Node(slot);
        SCOPED_TRACE("slot " + std::to_string(slot) + " " + Text(n.stringOffset));
        // A literal standing as a statement keeps its own type.
        EXPECT_EQ(n.valueType, place == kPassthrough || (n.expType == 9 && place == kVoid) ? n.valueType : place);
        switch (n.expType) {
            case 8: Call(n); break;
            case 10:
                EXPECT_EQ(n.engine, RecordIndex(Text(n.stringOffset)));
                EXPECT_EQ(Node(n.low).sibIndex, 0xFFFF);
                break;
            case 13:
                EXPECT_EQ(n.engine, 0xFFFF);
                EXPECT_EQ(n.low | n.high << 16, 0xFFFFFFFFu);
                EXPECT_TRUE(tables_.globals.count(Text(n.stringOffset)));
                break;
            default:
                EXPECT_EQ(n.expType, 9);
                Value(n);
        }
    }

    void Value(const test::Node& n) const {
        EXPECT_EQ(n.engine, n.valueType);
        const std::uint32_t field = n.low | static_cast<std::uint32_t>(n.high) << 16;
        switch (n.valueType) {
            case kBoolean: EXPECT_TRUE(field == 0xFFFFFF01 || field == 0xFFFFFF00); break;
            case kReal: EXPECT_TRUE(std::isfinite(std::bit_cast<float>(field))); break;
            case kShort: EXPECT_EQ(n.high, 0xFFFF); break;
            case 8: break;
            case kString: EXPECT_FALSE(Text(n.stringOffset).empty()); break;
            case kScript: EXPECT_EQ(static_cast<int>(field), RecordIndex(Text(n.stringOffset))); break;
            default:
                EXPECT_GE(n.valueType, 11);
                EXPECT_FALSE(Text(n.stringOffset).empty());
                EXPECT_EQ(field, CatalogueValue(Text(n.stringOffset))) << Text(n.stringOffset);
        }
    }

    // What the catalogue gives a name the examples use: the index in the first list that holds it
    // (scenario blocks, encounters, hud messages), a squad's or platoon's ai value, a tag's ID, an
    // enum word's number; none is all ones.
    std::uint32_t CatalogueValue(const std::string& name) const {
        const mapgen::SampleNames& sample = mapgen::TheSampleNames();
        if (name == "none") return 0xFFFFFFFF;
        for (std::size_t e = 0; e < sample.encounters.size(); ++e) {
            const mapgen::SampleEncounter& enc = sample.encounters[e];
            for (std::size_t i = 0; i < enc.squads.size(); ++i) {
                if (std::string(enc.name) + "/" + std::string(enc.squads[i]) == name) return 0x80000000u | (i << 16) | e;
            }
            for (std::size_t i = 0; i < enc.platoons.size(); ++i) {
                if (std::string(enc.name) + "/" + std::string(enc.platoons[i]) == name) return 0x40000000u | (i << 16) | e;
            }
        }
        const auto indexIn = [&](const auto& names) -> std::optional<std::uint32_t> {
            for (std::size_t i = 0; i < names.size(); ++i) {
                if (names[i] == name) return static_cast<std::uint32_t>(i);
            }
            return std::nullopt;
        };
        for (const auto* blocks : {&sample.scenarioBlocks, &sample.behindStrings}) {
            for (const mapgen::SampleBlock& b : *blocks) {
                if (auto i = indexIn(b.names)) return *i;
            }
        }
        std::vector<std::string_view> encounters;
        for (const mapgen::SampleEncounter& e : sample.encounters) encounters.push_back(e.name);
        if (auto i = indexIn(encounters)) return *i;
        if (auto i = indexIn(sample.hudMessages)) return *i;
        for (std::size_t i = 0; i < sample.tags.size(); ++i) {
            if (sample.tags[i].namePattern == name) return c_.layout.tagIdents[i + 1];
        }
        const std::vector<std::string_view> difficulties{"easy", "normal", "hard", "impossible"};
        const std::vector<std::string_view> teams{"default", "player", "human", "covenant", "flood", "sentinel"};
        for (const auto* words : {&difficulties, &teams}) {
            if (auto i = indexIn(*words)) return 0xFFFF0000u | *i;
        }
        ADD_FAILURE() << "no name " << name << " in the catalogue";
        return 0;
    }

    void Call(const test::Node& call) {
        const std::string name = Text(call.stringOffset);
        const test::Node nameNode = Node(call.low);
        EXPECT_EQ(nameNode.expType, 9);
        EXPECT_EQ(nameNode.valueType, 2);
        EXPECT_EQ(nameNode.engine, call.engine);
        EXPECT_EQ(nameNode.stringOffset, call.stringOffset);
        const auto f = tables_.functions.find(name);
        ASSERT_NE(f, tables_.functions.end()) << name;
        EXPECT_EQ(call.engine, f->second.number) << name;
        const std::vector<int> arguments = Chain(nameNode.sibIndex);
        const std::vector<int> parameters = tables_.Parameters(f->second.parameters, arguments.size());
        for (std::size_t i = 0; i < arguments.size() && i < parameters.size(); ++i) {
            int place = parameters[i];
            if (place == kPassthrough && (name == "if" || name == "begin")) {
                place = name == "begin" && i + 1 < arguments.size() ? kVoid : call.valueType;
            }
            Expression(arguments[i], place);
        }
    }

    const test::Compiled& c_;
    const Tables& tables_;
    std::vector<Record> records_;
};

TEST(ExampleNodes, TheTreesHoldWhatTheGameReads) {
    const Tables tables;
    mapgen::MapOptions sample;
    sample.engineValue = 609;
    sample.names = true;
    sample.tagCount = 24;
    int examples = 0;
    for (const auto& entry : fs::directory_iterator(kRoot / "examples")) {
        if (entry.path().extension() != ".hsc") continue;
        ++examples;
        SCOPED_TRACE(entry.path().filename().string());
        test::TempDir dir;
        const test::Compiled compiled = test::CompileInto(dir, sample, test::ReadText(entry.path()));
        TreeCheck check(compiled, tables, compiled.summary.scripts);
        for (int i = 0; i < compiled.summary.scripts; ++i) check.Script(i);
    }
    EXPECT_EQ(examples, 5);
}

}  // namespace
}  // namespace xsc

#pragma once
// The game's script engine as data: every script function with its signature and its number in
// each build, every engine global, and the names of the value type and script type codes.
//
// The facts live in data/*.tsv (tab-separated, '#' lines are comments, the first other line names
// the columns), compiled into the core library as the Qt resource ":/xsc/engine/". BuiltIn()
// parses them once; Parse() takes the texts, so a malformed table is reported with its file and
// line instead of being half read.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/EngineBuild.h"

namespace xsc::engine {

// One item of a parameter list: one type ("short"), an optional one ("[script]"), or a type or
// group of types that repeats any number of times, none included ("real...", "(boolean
// passthrough)...").
struct ParameterItem {
    enum class Kind { Required, Optional, Repeated };
    Kind kind = Kind::Required;
    std::vector<std::int32_t> types;  // value type codes; more than one only in a repeated group
};

struct EngineFunction {
    static constexpr std::int32_t kAbsent = -1;    // "-": the build lacks the function
    static constexpr std::int32_t kNoNumber = -2;  // "?": no number of its own (cond)

    std::string name;
    std::int32_t returns = 0;        // value type code of the result
    std::string parametersText;      // as the table writes it: "short [script]", "-" for none
    std::vector<ParameterItem> parameters;
    std::array<std::int32_t, 3> numbers{};  // EngineId per build (BuildIndex), or kAbsent, kNoNumber

    std::int32_t NumberIn(EngineBuild build) const { return numbers[BuildIndex(build)]; }
    bool In(EngineBuild build) const { return NumberIn(build) != kAbsent; }
};

struct EngineGlobal {
    std::string name;
    std::int32_t type = 0;      // value type code
    std::array<bool, 3> in{};   // per build (BuildIndex)

    bool In(EngineBuild build) const { return in[BuildIndex(build)]; }
};

// The texts of the four tables, for Parse.
struct EngineTableTexts {
    std::string functions;    // functions.tsv
    std::string globals;      // globals.tsv
    std::string valueTypes;   // value-types.tsv
    std::string scriptTypes;  // script-types.tsv
};

class EngineTables {
public:
    // The tables compiled into the program, parsed on first use.
    static const EngineTables& BuiltIn();
    // Throws Error naming the table and line of the first row that cannot be read.
    static EngineTables Parse(const EngineTableTexts& texts);

    const std::vector<EngineFunction>& Functions() const { return functions_; }
    const std::vector<EngineGlobal>& Globals() const { return globals_; }
    // Names by code, code 0 first.
    const std::vector<std::string>& ValueTypes() const { return valueTypes_; }
    const std::vector<std::string>& ScriptTypes() const { return scriptTypes_; }

    const EngineFunction* FindFunction(std::string_view name) const;
    const EngineGlobal* FindGlobal(std::string_view name) const;
    // The functions that have this number in the build: none, one, or aliases sharing it.
    std::vector<const EngineFunction*> FunctionsNumbered(EngineBuild build, std::int32_t number) const;

    std::optional<std::int32_t> ValueTypeCode(std::string_view name) const;
    // The type's name, or empty text for a code that names no type.
    std::string ValueTypeName(std::int32_t code) const;
    // Whether a value of type `from` may stand where `to` is expected.
    bool CanConvert(std::int32_t from, std::int32_t to) const;

private:
    void IndexNames();
    void AddConversions();

    std::vector<EngineFunction> functions_;
    std::vector<EngineGlobal> globals_;
    std::vector<std::string> valueTypes_;
    std::vector<std::string> scriptTypes_;
    std::unordered_map<std::string, std::size_t> functionByName_;
    std::unordered_map<std::string, std::size_t> globalByName_;
    std::vector<std::pair<std::int32_t, std::int32_t>> conversions_;  // (from, to), sorted
    std::int32_t voidCode_ = -1;
    std::int32_t passthroughCode_ = -1;
};

}  // namespace xsc::engine

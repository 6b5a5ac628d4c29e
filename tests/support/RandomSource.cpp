#include "support/RandomSource.h"

#include <algorithm>
#include <vector>

#include "engine/ArgumentMatch.h"
#include "engine/EngineTables.h"
#include "support/SampleNames.h"

namespace xsc::test {
namespace {

using engine::EngineFunction;

constexpr engine::EngineBuild kBuild = engine::EngineBuild::Custom;

const char* const kComments[] = {"", "", " ; a comment (with parentheses)\n", " ;* a block\ncomment *; "};
const char* const kShorts[] = {"0", "-32768", "32767", "1e2", "30.0"};
const char* const kLongs[] = {"-2147483648", "2147483647", "70000", "-1"};
const char* const kReals[] = {"0.5", "-1.25e-1", "3", "2147483648", "0.1", "1e-3", ".5"};
const char* const kBooleans[] = {"true", "false", "on", "OFF"};
const char* const kStrings[] = {"\"\"", "\"(not a call) ; nor a comment\"", "\"tab\there\"", "\"\xC3\xA9t\xC3\xA9\"", "plain"};
const char* const kNames[] = {"point_1", "\"with space\"", "enc_a", "none", "\"rasterizer_fps\"", "\"12\""};

template <typename T, std::size_t N>
const T& Pick(std::mt19937& rng, const T (&values)[N]) {
    return values[rng() % N];
}

struct StaticScript {
    std::string name;
    std::int32_t returns;
};

struct ScenarioGlobal {
    std::string name;
    std::int32_t type;
};

class Generator {
public:
    explicit Generator(std::mt19937& rng)
        : rng_(rng), tables_(engine::EngineTables::BuiltIn()), void_(*tables_.ValueTypeCode("void")),
          passthrough_(*tables_.ValueTypeCode("passthrough")) {}

    std::string Program() {
        std::string text;
        // Globals first, each initial value reading only those before it; the type sometimes
        // quoted, as decompilers write it.
        const int globals = static_cast<int>(rng_() % 4);
        const std::int32_t globalTypes[] = {5, 6, 7, 8, 9};
        for (int i = 0; i < globals; ++i) {
            const ScenarioGlobal g{"global_" + std::to_string(i), Pick(rng_, globalTypes)};
            const std::string type = tables_.ValueTypeName(g.type);
            text += "(global " + (rng_() % 2 ? type : "\"" + type + "\"") + " " + g.name + Comment() + " " + Expression(g.type, 2) + ")\n";
            globals_.push_back(g);
        }
        const int scripts = 1 + static_cast<int>(rng_() % 4);
        const std::int32_t returnTypes[] = {void_, 5, 6, 7, 8, 38};
        for (int i = 0; i + 1 < scripts; ++i) statics_.push_back({"helper_" + std::to_string(i), Pick(rng_, returnTypes)});
        for (const StaticScript& s : statics_) {
            text += "(script static " + tables_.ValueTypeName(s.returns) + " " + s.name + Comment() + Body(s.returns) + ")\n";
            called_.push_back(&s);
        }
        text += "(script " + std::string(rng_() % 2 ? "startup" : "dormant") + " main" + Body(void_) + ")\n";
        return text;
    }

private:
    std::string Comment() { return Pick(rng_, kComments); }

    // Statements; the last gives the value.
    std::string Body(std::int32_t returns) {
        std::string body;
        const int statements = static_cast<int>(rng_() % 4);
        for (int i = 0; i < statements; ++i) (body += ' ') += Expression(void_, 0) + Comment();
        return (body += ' ') += Expression(returns, 0);
    }

    std::string Literal(std::int32_t type) {
        switch (type) {
            case 5: return Pick(rng_, kBooleans);
            case 6: return Pick(rng_, kReals);
            case 7: return Pick(rng_, kShorts);
            case 8: return Pick(rng_, kLongs);
            case 9: return Pick(rng_, kStrings);
            case 10: return statics_.empty() ? "main" : statics_[rng_() % statics_.size()].name;
            default: return Name(type);
        }
    }

    // A name the generator's maps with names hold for the type (in quotes where it has a blank), or
    // any name for the types that name nothing of the map.
    std::string Name(std::int32_t type) {
        const std::vector<std::string> names = SampleNamesOf(type);
        if (names.empty()) return Pick(rng_, kNames);
        const std::string& name = names[rng_() % names.size()];
        return name.find(' ') == std::string::npos ? name : "\"" + name + "\"";
    }

    // Functions of the build that return something that can stand where `type` is expected, and
    // whose parameters take no passthrough.
    std::vector<const EngineFunction*> Returning(std::int32_t type) const {
        std::vector<const EngineFunction*> found;
        for (const EngineFunction& f : tables_.Functions()) {
            if (!f.In(kBuild) || f.NumberIn(kBuild) < 0 || f.returns == passthrough_ || !tables_.CanConvert(f.returns, type)) continue;
            const bool plain = std::none_of(f.parameters.begin(), f.parameters.end(), [&](const engine::ParameterItem& item) {
                return std::find(item.types.begin(), item.types.end(), passthrough_) != item.types.end() ||
                       std::find(item.types.begin(), item.types.end(), 10) != item.types.end();
            });
            if (plain) found.push_back(&f);
        }
        return found;
    }

    // With any argument count up to 6 the function takes.
    std::string Call(const EngineFunction& f, int depth) {
        std::vector<std::vector<std::int32_t>> counts;
        for (std::size_t count = 0; count <= 6; ++count) {
            if (auto types = engine::MatchArguments(f, count)) counts.push_back(std::move(*types));
        }
        std::string call = "(" + f.name;
        for (const std::int32_t t : counts[rng_() % counts.size()]) (call += ' ') += Expression(t, depth + 1);
        return call + ")";
    }

    std::string Expression(std::int32_t type, int depth) {
        const bool literal = type != void_ && (depth > 3 || rng_() % 3 == 0);
        if (literal) return Literal(type);
        switch (rng_() % 8) {
            case 0:
                for (const ScenarioGlobal& g : globals_) {
                    if (rng_() % 2 == 0 && tables_.CanConvert(g.type, type)) return g.name;
                }
                for (const engine::EngineGlobal& g : tables_.Globals()) {
                    if (g.In(kBuild) && rng_() % 40 == 0 && tables_.CanConvert(g.type, type)) return g.name;
                }
                break;
            case 1:
                for (const StaticScript* s : called_) {
                    if (tables_.CanConvert(s->returns, type)) return "(" + s->name + ")";
                }
                break;
            case 2:
                if (type != void_) {
                    return "(if " + Expression(5, depth + 1) + " " + Expression(type, depth + 1) + " " + Expression(type, depth + 1) + ")";
                }
                if (!globals_.empty() && rng_() % 2 == 0) {
                    const ScenarioGlobal& g = globals_[rng_() % globals_.size()];
                    return "(set " + g.name + " " + Expression(g.type, depth + 1) + ")";
                }
                return "(set cheat_jetpack " + Expression(5, depth + 1) + ")";
            case 3: return "(begin " + Expression(void_, depth + 1) + " " + Expression(type, depth + 1) + ")";
            case 4:
                // The first side has a type of its own (an if of literals would have none).
                if (type == 5 || type == void_) return "(= (+ " + Expression(7, depth + 1) + ") " + Literal(6) + ")";
                return "(cond (" + Expression(5, depth + 1) + " " + Expression(type, depth + 1) + ") (true " + Literal(type) + "))";
            default: break;
        }
        const std::vector<const EngineFunction*> functions = Returning(type);
        if (functions.empty() || depth > 3) return type == void_ ? "(sleep " + Literal(7) + ")" : Literal(type);
        return Call(*functions[rng_() % functions.size()], depth);
    }

    std::mt19937& rng_;
    const engine::EngineTables& tables_;
    const std::int32_t void_, passthrough_;
    std::vector<StaticScript> statics_;
    std::vector<const StaticScript*> called_;  // the statics defined so far
    std::vector<ScenarioGlobal> globals_;      // the globals declared so far
};

}  // namespace

std::string MakeRandomSource(std::mt19937& rng) { return Generator(rng).Program(); }

}  // namespace xsc::test

#include "engine/ArgumentMatch.h"

#include "engine/EngineTables.h"

namespace xsc::engine {
namespace {

using Kind = ParameterItem::Kind;

struct Counts {
    std::size_t required = 0;
    std::size_t optional = 0;
    std::size_t group = 0;  // size of the repeated group; 0 when nothing repeats
};

Counts CountParameters(const EngineFunction& function) {
    Counts c;
    for (const ParameterItem& item : function.parameters) {
        switch (item.kind) {
            case Kind::Required: c.required += item.types.size(); break;
            case Kind::Optional: c.optional += 1; break;
            case Kind::Repeated: c.group = item.types.size(); break;
        }
    }
    return c;
}

std::string Arguments(std::size_t n) { return std::to_string(n) + (n == 1 ? " argument" : " arguments"); }

}  // namespace

std::optional<std::vector<std::int32_t>> MatchArguments(const EngineFunction& function, std::size_t count) {
    const Counts c = CountParameters(function);
    if (count < c.required) return std::nullopt;
    std::size_t extra = count - c.required;
    const std::size_t optionalUsed = std::min(extra, c.optional);
    extra -= optionalUsed;
    if (extra > 0 && (c.group == 0 || extra % c.group != 0)) return std::nullopt;

    std::vector<std::int32_t> places;
    places.reserve(count);
    std::size_t optionalLeft = optionalUsed;
    for (const ParameterItem& item : function.parameters) {
        switch (item.kind) {
            case Kind::Required: places.insert(places.end(), item.types.begin(), item.types.end()); break;
            case Kind::Optional:
                if (optionalLeft > 0) {
                    places.push_back(item.types.front());
                    --optionalLeft;
                }
                break;
            case Kind::Repeated:
                for (std::size_t k = 0; k < extra / c.group; ++k) {
                    places.insert(places.end(), item.types.begin(), item.types.end());
                }
                break;
        }
    }
    return places;
}

std::string AcceptedArgumentCounts(const EngineFunction& function) {
    const Counts c = CountParameters(function);
    if (c.group > 1) {
        const std::size_t g = c.group, r = c.required;
        return std::to_string(r) + ", " + std::to_string(r + g) + ", " + std::to_string(r + 2 * g) + ", ... arguments";
    }
    if (c.group == 1) return c.required == 0 ? "any number of arguments" : "at least " + Arguments(c.required);
    if (c.required + c.optional == 0) return "no arguments";
    if (c.optional == 0) return Arguments(c.required);
    const std::size_t most = c.required + c.optional;
    return std::to_string(c.required) + (c.optional == 1 ? " or " : " to ") + Arguments(most);
}

}  // namespace xsc::engine

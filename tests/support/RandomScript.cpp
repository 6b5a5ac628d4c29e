#include "support/RandomScript.h"

#include <vector>

#include "support/SampleNames.h"

namespace xsc::test {
namespace {

const char* const kTexts[] = {"text", "", "a\tb\nc\rd\r\n", "quote\" amp& lt< gt> apos'", "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80",
                              "true", "False", "g_1"};
const char* const kNumbers[] = {"12", "-7.5", "0.1", "1e3", "70000", "-32769", "2147483647", "3000000000", "-2147483648", "0", " 42abc"};
const int kWideTypes[] = {65541, 65542, 65543, 65544, 65546, -2, 40000};

template <typename T, std::size_t N>
const T& Pick(std::mt19937& rng, const T (&values)[N]) {
    return values[rng() % N];
}

// An attribute in double quotes, escaped so that the parser returns exactly `value`.
std::string Attr(const char* name, const std::string& value) {
    std::string out = std::string(" ") + name + "=\"";
    for (const char c : value) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '"': out += "&quot;"; break;
            case '\t': out += "&#9;"; break;
            case '\n': out += "&#10;"; break;
            case '\r': out += "&#13;"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

std::string ValueType(std::mt19937& rng) {
    // The types with encodings of their own come up more often than the others.
    static const int kTypes[] = {0, 2, 3, 4, 5, 5, 5, 6, 6, 6, 7, 7, 8, 8, 9, 10, 11, 37};
    return std::to_string(rng() % 6 == 0 ? Pick(rng, kWideTypes) : Pick(rng, kTypes));
}

std::string AnyValue(std::mt19937& rng) { return rng() % 2 ? Pick(rng, kTexts) : Pick(rng, kNumbers); }

// A value of the type: a name the generator's maps with names hold, for the types whose values name
// something of the map; else any text or number.
std::string ValueOfType(std::mt19937& rng, const std::string& type) {
    const std::vector<std::string> names = SampleNamesOf(std::stoi(type));
    return names.empty() ? AnyValue(rng) : names[rng() % names.size()];
}

// Appends a random expression list; returns the number of nodes it makes. `scripts` are the
// names of the document's scripts, which script calls and values of type 10 name.
int RandomExpressions(std::mt19937& rng, int depth, const std::vector<std::string>& scripts, std::string& xml) {
    int nodes = 0;
    const int count = static_cast<int>(rng() % 4);
    for (int i = 0; i < count; ++i) {
        switch (rng() % 8) {
            case 0:
            case 1: {
                const std::string command = rng() % 3 ? "f" + std::to_string(rng() % 100) : Pick(rng, kTexts);
                xml += "<ScriptCommand" + Attr("Command", command) + Attr("EngineId", std::to_string(static_cast<int>(rng() % 600) - 50)) +
                       Attr("ValueType", ValueType(rng)) + ">";
                nodes += 2;
                if (depth < 4) nodes += RandomExpressions(rng, depth + 1, scripts, xml);
                xml += "</ScriptCommand>";
                break;
            }
            case 2:
            case 3: {
                const std::string type = ValueType(rng);
                const char* const booleans[] = {"TRUE", "false"};
                xml += "<ScriptValue" + Attr("ValueType", type) +
                       Attr("Value", type == "10"                  ? scripts[rng() % scripts.size()]
                                     : type == "5" && rng() % 2 ? Pick(rng, booleans)
                                                                : ValueOfType(rng, type)) +
                       (rng() % 4 ? "" : Attr("ExpType", "3")) + "/>";
                nodes += 1;
                break;
            }
            case 5:
                xml += "<ScriptCall" + Attr("Script", scripts[rng() % scripts.size()]) + Attr("ValueType", ValueType(rng)) + "/>";
                nodes += 2;
                break;
            case 6:
                xml += "<GlobalReference" + Attr("ValueType", ValueType(rng)) + Attr("ValueCommand", Pick(rng, kTexts)) + "/>";
                nodes += 1;
                break;
            case 4:
                xml += "<GlobalValue" + Attr("ValueType", ValueType(rng)) +
                       Attr("Value", rng() % 4 ? Pick(rng, kNumbers) : Pick(rng, kTexts)) + Attr("ValueCommand", Pick(rng, kTexts)) + "/>";
                nodes += 1;
                break;
            default:
                xml += "<!-- a comment -->";
        }
    }
    return nodes;
}

}  // namespace

RandomScript MakeRandomScript(std::mt19937& rng) {
    static const char* const kNames[] = {"script_", "tab\there ", "\xC3\xA9&<>\"'", "", "a_name_of_exactly_31_bytes_long"};
    RandomScript script;
    script.xml = "<scripts>";
    script.scripts = static_cast<int>(rng() % 5);
    std::vector<std::string> names;
    for (int s = 0; s < script.scripts; ++s) names.emplace_back(Pick(rng, kNames));
    for (int s = 0; s < script.scripts; ++s) {
        script.xml += "<s" + Attr("NameAttr", names[static_cast<std::size_t>(s)]) + Attr("TypeAttr", std::to_string(rng() % 5)) +
                      Attr("ReTypeAttr", std::to_string(static_cast<int>(rng() % 12) - 2)) + ">";
        script.bodyNodes += RandomExpressions(rng, 0, names, script.xml);
        script.xml += "</s>";
    }
    script.xml += "</scripts>";
    return script;
}

}  // namespace xsc::test

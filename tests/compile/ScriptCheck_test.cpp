// The check as a whole: the examples stay free of warnings for the builds they name, and the
// slot limits of the engine and of a map.

#include <gtest/gtest.h>

#include <filesystem>

#include "compile/ScriptCheck.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

// An example (in either language) names the builds it is written for in a comment line "Builds:
// retail, custom, demo"; without one, it is written for custom.
TEST(ScriptCheck, ExamplesHaveNoWarningForTheBuildsTheyName) {
    const auto examples = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "examples";
    int checks = 0;
    for (const auto& entry : std::filesystem::directory_iterator(examples)) {
        const std::string text = test::ReadText(entry.path());
        const std::size_t at = text.find("Builds:");
        const std::string named = at == std::string::npos ? "custom" : text.substr(at, text.find('\n', at) - at);
        for (const engine::EngineBuild build : engine::kEngineBuilds) {
            if (named.find(engine::BuildName(build)) == std::string::npos) continue;
            ++checks;
            for (const Diagnostic& d : CheckScriptText(text, {build, std::nullopt}).diagnostics) {
                EXPECT_EQ(d.severity, Diagnostic::Severity::Note)
                    << entry.path().filename() << ":" << d.line << ":" << d.column << " (" << engine::BuildName(build)
                    << "): " << d.message;
            }
        }
    }
    EXPECT_EQ(checks, 22);  // seven examples for every build, one for custom only
}

// Slot 7309 gets identity 0, so only scripts whose filler lands there reach past it: the first
// script ends on slot 7308 (4 fillers, 7302 values, 2 begin nodes, the trailing filler).
TEST(ScriptCheck, MoreSlotsThanTheEngineOrTheMapHoldsIsReported) {
    std::string script = "<scripts>\n";
    for (const int values : {7302, 11700}) {
        script += "<s NameAttr='s" + std::to_string(values) + "' TypeAttr='3' ReTypeAttr='4'>";
        for (int i = 0; i < values; ++i) script += "<ScriptValue ValueType='7' Value='1'/>";
        script += "</s>\n";
    }
    script += "</scripts>\n";
    const Diagnostic engineLimit{Diagnostic::Severity::Warning, 1, 1,
                                 "the scripts need 19016 node slots; the game's engine holds 19001"};
    const Diagnostic mapLimit{Diagnostic::Severity::Error, 1, 1,
                              "the scripts need 19016 node slots but the map's node data holds 19015"};
    EXPECT_EQ(CheckScriptText(script, {engine::kDefaultBuild, std::nullopt}).diagnostics, std::vector{engineLimit});
    EXPECT_EQ(CheckScriptText(script, {std::nullopt, 19016}).diagnostics, std::vector{engineLimit});
    EXPECT_EQ(CheckScriptText(script, {engine::kDefaultBuild, 19015}).diagnostics, (std::vector{mapLimit, engineLimit}));
}

}  // namespace
}  // namespace xsc

// The check of the source language: each check/CASE.hsc, checked against the custom build, gives
// the diagnostics of check/CASE.expected, every fault of the source in one run, at its line and
// column (XSC_UPDATE_GOLDEN=1 rewrites them). The language is told by the first character that
// is not blank.

#include <gtest/gtest.h>

#include <filesystem>

#include "compile/ScriptCheck.h"
#include "compile/ScriptLanguageChoice.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

std::string Rendered(const std::vector<Diagnostic>& diagnostics) {
    static const char* const kSeverity[] = {"note", "warning", "error"};
    std::string out;
    for (const Diagnostic& d : diagnostics) {
        out += std::to_string(d.line) + ":" + std::to_string(d.column) + ": " + kSeverity[static_cast<int>(d.severity)] + ": " +
               d.message + "\n";
    }
    return out;
}

TEST(SourceCheck, EachCaseReportsEveryFaultAtItsPlace) {
    const std::filesystem::path folder = std::filesystem::path(__FILE__).parent_path() / "check";
    int cases = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".hsc") continue;
        ++cases;
        const CheckedScript checked = CheckScriptText(test::ReadText(entry.path()), ScriptLanguage::Source, {});
        EXPECT_FALSE(checked.document) << entry.path();
        test::ExpectGolden("hsc/check/" + entry.path().stem().string() + ".expected", Rendered(checked.diagnostics));
    }
    EXPECT_EQ(cases, 8);
}

TEST(SourceCheck, TheLanguageIsToldByTheFirstCharacterThatIsNotBlank) {
    const struct {
        std::string text;
        ScriptLanguage language;
    } rows[] = {
        {"(script startup a)", ScriptLanguage::Source},
        {"\xEF\xBB\xBF \r\n\t; a comment\n", ScriptLanguage::Source},
        {"  <scripts/>", ScriptLanguage::Xml},
        {"<!-- (script) -->", ScriptLanguage::Xml},
        {"", ScriptLanguage::Xml},
        {"script", ScriptLanguage::Xml},
    };
    for (const auto& row : rows) EXPECT_EQ(DetectScriptLanguage(row.text), row.language) << row.text;
    EXPECT_EQ(LanguageOfScript("A.HSC", "<x/>"), ScriptLanguage::Source);
    EXPECT_EQ(LanguageOfScript("a.xml", "(x)"), ScriptLanguage::Xml);
    EXPECT_EQ(LanguageOfScript("a.txt", "(x)"), ScriptLanguage::Source);
}

}  // namespace
}  // namespace xsc

#include "compile/ScriptLanguageChoice.h"

#include "runtime/Text.h"
#include "runtime/Utf8Path.h"

namespace xsc {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

ScriptLanguage DetectScriptLanguage(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    for (const char c : text) {
        if (IsBlank(c)) continue;
        return c == '(' || c == ';' ? ScriptLanguage::Source : ScriptLanguage::Xml;
    }
    return ScriptLanguage::Xml;
}

std::optional<ScriptLanguage> LanguageOfExtension(const std::filesystem::path& path) {
    const std::string extension = Utf8(path.extension());
    if (EqualsIgnoringCase(extension, ".hsc")) return ScriptLanguage::Source;
    if (EqualsIgnoringCase(extension, ".xml")) return ScriptLanguage::Xml;
    return std::nullopt;
}

ScriptLanguage LanguageOfScript(const std::filesystem::path& path, std::string_view text) {
    return LanguageOfExtension(path).value_or(DetectScriptLanguage(text));
}

std::string_view LanguageName(ScriptLanguage language) { return language == ScriptLanguage::Source ? "source" : "XML"; }

}  // namespace xsc

#pragma once
// Which of the two script languages a script is written in: the source language (.hsc, the
// game's own Lisp) or the XML language (.xml). A file's extension says so; text without one (the
// standard input, the window's script field) is told by its first character that is not blank
// (or a byte order mark): "(" or ";" (a comment) for the source language, anything else, "<"
// above all, for XML.

#include <filesystem>
#include <optional>
#include <string_view>

namespace xsc {

enum class ScriptLanguage { Source, Xml };

ScriptLanguage DetectScriptLanguage(std::string_view text);
// .hsc and .xml (in any letter case); nothing for another extension or none.
std::optional<ScriptLanguage> LanguageOfExtension(const std::filesystem::path& path);
// The extension's language, else the text's.
ScriptLanguage LanguageOfScript(const std::filesystem::path& path, std::string_view text);

// "source", "XML": for messages.
std::string_view LanguageName(ScriptLanguage language);

}  // namespace xsc

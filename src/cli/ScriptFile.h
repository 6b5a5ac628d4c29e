#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "compile/ScriptLanguageChoice.h"

namespace xsc::cli {

// The bytes of the script a command names: a file, or "-" for standard input. Throws Error when
// the file cannot be read.
std::string ReadScript(const std::string& script, std::istream& in);

// Throws Error (about the script) when `script` holds a map rather than a script, naming the
// mistake: the arguments swapped, when `map` (the map argument) holds a script.
void RefuseMapAsScript(const std::string& script, const std::optional<std::filesystem::path>& map);

// How messages name the script: its path, or "<stdin>".
std::string ScriptLabel(const std::string& script);

// The language of the script a command names: by the file's extension (.hsc, .xml), else (and
// for standard input) by its text.
ScriptLanguage LanguageOfScriptArgument(const std::string& script, const std::string& text);

}  // namespace xsc::cli

#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include <vector>

#include "compile/ScriptLanguageChoice.h"
#include "hsc/SourceCompile.h"

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

// The scripts `xsc check` and `xsc compile` were given, read: one script of either language, or a
// program of several source files (several arguments, or a folder: every .hsc file in it, in name
// order), checked and compiled as one.
struct ScriptProgram {
    struct File {
        std::string label;  // as messages name it (ScriptLabel)
        std::string bytes;
    };
    std::vector<File> files;
    ScriptLanguage language = ScriptLanguage::Source;
    std::string label;  // the one file's label, or the files' labels joined by ", "

    bool Several() const { return files.size() > 1; }
    // The files as the source language's check takes them: unnamed when there is one (its
    // diagnostics are printed under `label`), named by their labels when there are several.
    std::vector<hsc::SourceFile> SourceFiles() const;
};
// Throws Error when a file cannot be read, a folder holds no .hsc file, an argument holds a map,
// or one of several is not in the source language. `map`: the command's map, for RefuseMapAsScript.
ScriptProgram ReadScripts(const std::vector<std::string>& scripts, std::istream& in,
                          const std::optional<std::filesystem::path>& map);

}  // namespace xsc::cli

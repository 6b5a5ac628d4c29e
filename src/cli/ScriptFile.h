#pragma once

#include <iosfwd>
#include <string>

namespace xsc::cli {

// The bytes of the script a command names: a file, or "-" for standard input. Throws Error when
// the file cannot be read.
std::string ReadScript(const std::string& script, std::istream& in);

// How messages name the script: its path, or "<stdin>".
std::string ScriptLabel(const std::string& script);

}  // namespace xsc::cli

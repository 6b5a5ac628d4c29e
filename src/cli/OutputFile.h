#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>

namespace xsc::cli {

// Writes a script the command made to `output` whole: into a temporary file beside it, renamed
// into place once complete. A new file gets the permissions any new file of the user gets; a
// file written over keeps its own. Throws Error (about the output) when it cannot be written.
void WriteWholeFile(const std::filesystem::path& output, const std::string& text);

// Prints a script the command made: its bytes as they are, no line ends turned into CR LF on the
// way when `out` is the standard output.
void WriteToOutput(std::ostream& out, const std::string& text);

}  // namespace xsc::cli

#pragma once
// Diagnostics as the command line prints them, in the form editors understand:
//   script.xml:12:5: warning: print is function 28 in the custom build, not 13 (13 is "=")
//   level.map: note: the map's engine build is unknown (engine value 12 at 0x4); no engine checks
// and the summary line of `xsc check`:
//   script.xml: 0 errors, 2 warnings, 1 note; checked against the custom build

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "common/Diagnostic.h"
#include "engine/EngineBuild.h"

namespace xsc {
class BinaryStream;
}

namespace xsc::cli {

// `file` names what a diagnostic is about, unless it names its own file (a program of several).
void PrintDiagnostics(const std::vector<Diagnostic>& diagnostics, const std::string& file, std::ostream& out);

// The build the map's header names; for a build xsc does not know, `note` says so (a diagnostic
// about the map as a whole) and there is no build.
struct MapBuild {
    std::optional<engine::EngineBuild> build;
    std::optional<Diagnostic> note;
};
MapBuild BuildOfMap(BinaryStream& map);

struct DiagnosticCounts {
    int errors = 0;
    int warnings = 0;
    int notes = 0;
};
DiagnosticCounts CountDiagnostics(const std::vector<Diagnostic>& diagnostics);
std::string CheckSummary(const std::string& file, const DiagnosticCounts& counts,
                         std::optional<engine::EngineBuild> build);

}  // namespace xsc::cli

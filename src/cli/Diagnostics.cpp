#include "Diagnostics.h"

#include <ostream>

#include "engine/MapEngine.h"

namespace xsc::cli {
namespace {

const char* SeverityWord(Diagnostic::Severity severity) {
    switch (severity) {
        case Diagnostic::Severity::Note: return "note";
        case Diagnostic::Severity::Warning: return "warning";
        case Diagnostic::Severity::Error: return "error";
    }
    return "error";
}

std::string Counted(int n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

}  // namespace

void PrintDiagnostics(const std::vector<Diagnostic>& diagnostics, const std::string& file, std::ostream& out) {
    for (const Diagnostic& d : diagnostics) {
        out << (d.file.empty() ? file : d.file);
        if (d.line > 0) out << ":" << d.line << ":" << d.column;
        out << ": " << SeverityWord(d.severity) << ": " << d.message << "\n";
    }
}

MapBuild BuildOfMap(BinaryStream& map) {
    const engine::MapEngine engine = engine::ReadMapEngine(map);
    MapBuild found{engine.build, std::nullopt};
    if (!engine.build) {
        found.note = Diagnostic{Diagnostic::Severity::Note, 0, 0,
                                "the map's engine build is " + engine::DescribeMapEngine(engine) +
                                    "; no engine checks (known: " + engine::KnownMapEngines() + ")"};
    }
    return found;
}

DiagnosticCounts CountDiagnostics(const std::vector<Diagnostic>& diagnostics) {
    DiagnosticCounts counts;
    for (const Diagnostic& d : diagnostics) {
        switch (d.severity) {
            case Diagnostic::Severity::Note: ++counts.notes; break;
            case Diagnostic::Severity::Warning: ++counts.warnings; break;
            case Diagnostic::Severity::Error: ++counts.errors; break;
        }
    }
    return counts;
}

std::string CheckSummary(const std::string& file, const DiagnosticCounts& counts,
                         std::optional<engine::EngineBuild> build) {
    return file + ": " + Counted(counts.errors, "error") + ", " + Counted(counts.warnings, "warning") + ", " +
           Counted(counts.notes, "note") + "; " +
           (build ? "checked against the " + std::string(engine::BuildName(*build)) + " build"
                  : "no engine checks (unknown build)");
}

}  // namespace xsc::cli

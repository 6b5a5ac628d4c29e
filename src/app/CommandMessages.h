#pragma once
// The texts the main window shows when a command fails: what was attempted, on which file, and
// why, with the script position in words when the fault is in the script.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "common/Diagnostic.h"

namespace xsc {

class Error;

// "Line 3, column 7: <what>" for an error about a script position; what() otherwise.
QString DescribeError(const Error& error);

// "Line 3, column 7: <message>" for a diagnostic at a script position; the message otherwise.
QString DescribeDiagnostic(const Diagnostic& diagnostic);

// What the check found wrong with the script: one diagnostic a line, as DescribeDiagnostic says
// them. The window shows it as the reason of a compile that failed.
QString ScriptErrorsText(const std::vector<Diagnostic>& errors);

// The question before a compile into `map` of a script whose check found warnings: the script's,
// then those about the map (named by its file name).
QString CompileWarningsText(const std::filesystem::path& map, const std::vector<Diagnostic>& warnings,
                            const std::vector<Diagnostic>& mapWarnings);

// A load of `chosen` that failed for `reason`; `stillLoaded` is the map that stays loaded.
QString LoadFailedText(const std::filesystem::path& chosen, const QString& reason,
                       const std::optional<std::filesystem::path>& stillLoaded);

// What opening `map` found of an interrupted compile (`found`, from the recovery; empty text when
// there was nothing).
QString RecoveryText(const std::filesystem::path& map, const std::string& found);

// The window's title: "Compiler", and the loaded map's file name after it ("Compiler - level.map").
QString WindowTitleText(const std::optional<std::filesystem::path>& map);

// A decompile of `map`'s scripts (none when no map is loaded) that failed for `reason`.
QString DecompileFailedText(const std::optional<std::filesystem::path>& map, const QString& reason);

// A compile into `map` (none when no map is loaded) that failed for `reason`.
QString CompileFailedText(const std::optional<std::filesystem::path>& map, const QString& reason);

}  // namespace xsc

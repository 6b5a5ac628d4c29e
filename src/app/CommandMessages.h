#pragma once
// The texts the main window shows when a command fails: what was attempted, on which file, and
// why, with the script position in words when the fault is in the script.

#include <filesystem>
#include <optional>
#include <string>

#include <QString>

namespace xsc {

class Error;

// "Line 3, column 7: <what>" for an error about a script position; what() otherwise.
QString DescribeError(const Error& error);

// A load of `chosen` that failed for `reason`; `stillLoaded` is the map that stays loaded.
QString LoadFailedText(const std::filesystem::path& chosen, const QString& reason,
                       const std::optional<std::filesystem::path>& stillLoaded);

// What opening `map` found of an interrupted compile (`found`, from the recovery; empty text when
// there was nothing).
QString RecoveryText(const std::filesystem::path& map, const std::string& found);

// A compile into `map` (none when no map is loaded) that failed for `reason`.
QString CompileFailedText(const std::optional<std::filesystem::path>& map, const QString& reason);

}  // namespace xsc

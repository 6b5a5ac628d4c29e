// The input is a script, compiled in place into a fixed generated map, and checked as `xsc check
// --map` would check it against that map: the check must never throw, and it must report an error
// exactly when the compile refuses the script.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzEntries.h"
#include "FuzzVerdict.h"
#include "compile/ScriptCheck.h"

namespace {

// The node slots of the map RunCompileXmlInput compiles into.
constexpr std::int64_t kHostSlotCapacity = 600;

xsc::robust::Verdict CheckAgrees(std::string_view script, const xsc::robust::Verdict& compiled) {
    using xsc::robust::Verdict;
    xsc::CheckOptions options;
    options.slotCapacity = kHostSlotCapacity;
    options.names = &xsc::robust::HostNames();
    bool error = false;
    std::string first;
    for (const xsc::Diagnostic& d : xsc::CheckScriptText(script, xsc::ScriptLanguage::Xml, options).diagnostics) {
        if (d.severity == xsc::Diagnostic::Severity::Error && !error) first = d.message;
        error = error || d.severity == xsc::Diagnostic::Severity::Error;
    }
    if (error == (compiled.kind == Verdict::Kind::Refused)) return {};
    return {Verdict::Kind::Violation, error ? "the check reports \"" + first + "\" but the compile succeeded"
                                            : "the check passes but the compile refused: " + compiled.message};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const xsc::robust::Verdict compiled = xsc::robust::RunCompileXmlInput(data, size);
    xsc::fuzz::Enforce(compiled);
    xsc::fuzz::Enforce(CheckAgrees(std::string_view(reinterpret_cast<const char*>(data), size), compiled));
    return 0;
}

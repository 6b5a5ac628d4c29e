#pragma once
// The promise every robustness check holds the tool to: whatever the map bytes and the script,
// a load or compile ends with xsc::Error and changes nothing, or gives the reference result
// (ReferenceCompile.h). Anything else is a violation, reported as text so that the tests can fail
// with it and the fuzz targets can abort with it. No test framework here.

#include <cstdint>
#include <string>
#include <string_view>

#include "MemoryFile.h"

namespace xsc {
class HaloPcMap;
class XmlDocument;
struct ScriptCompilier;
}  // namespace xsc

namespace xsc::robust {

struct Verdict {
    enum class Kind { Accepted, Refused, Violation };
    Kind kind = Kind::Accepted;
    std::string message;  // the error's text when refused; what went wrong for a violation
    bool Violated() const { return kind == Kind::Violation; }
};

// Loads `map` through `file` into a copy of `baseline`, then reads the scenario's script fields.
// A failed load must leave the copy as `baseline`; a load must give an index whose names are in
// the file.
Verdict CheckLoad(MemoryFile& file, const Bytes& map, const HaloPcMap& baseline);
// Compiles into `map` in place through `file`.
Verdict CheckCompile(MemoryFile& file, const Bytes& map, std::string_view script);
Verdict CheckCompile(MemoryFile& file, const Bytes& map, const XmlDocument& document);
// Holds a compile's result `after` (of `before`, with the build's `state`) to the reference.
Verdict JudgeCompiled(const Bytes& before, const Bytes& after, const XmlDocument& document, const ScriptCompilier& state,
                      std::int64_t reportedGrowth);
// A small generated map, loaded from a file of its own: the baseline for CheckLoad.
const HaloPcMap& BaselineMap();

}  // namespace xsc::robust

#pragma once
// The promise every robustness check holds the tool to: whatever the map bytes and the script,
// a load or compile either ends with xsc::Error and changes nothing, or gives the right result.
// Anything else (another exception type, a refusal that changed the file, a result that differs
// from the reference) is a violation, reported as text so that the tests can fail with it and
// the fuzz targets can abort with it.
//
// "The right result" of a compile is a reference that follows the write phase and the fix-up
// literally, step by step, on a byte vector: it reads the map's header, index and scenario fields
// itself, lays out the slots and script records from the document's shape, and applies every
// write and the word-by-word fix-up in the order the format's tools do. Only the bytes of the
// node slots and the strings are taken from the build (the build's own tests decode those).
// Used by the robustness tests and by the fuzz targets in fuzz/; no test framework here.

#include <cstdint>
#include <memory>
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
    static Verdict Accept() { return {Kind::Accepted, {}}; }
    static Verdict Refuse(std::string why) { return {Kind::Refused, std::move(why)}; }
    static Verdict Violation(std::string why) { return {Kind::Violation, std::move(why)}; }
};

// Loads `map` through `file` into a copy of `baseline` (a map object that already holds another
// map), then reads the scenario's script fields. A failed load must leave the copy exactly as
// `baseline`; a successful one must hold a consistent index whose names are in the file.
Verdict CheckLoad(MemoryFile& file, const Bytes& map, const HaloPcMap& baseline);

// Compiles `script` into `map` in place through `file` and holds the outcome to the promise.
Verdict CheckCompile(MemoryFile& file, const Bytes& map, std::string_view script);
Verdict CheckCompile(MemoryFile& file, const Bytes& map, const XmlDocument& document);

// Holds a compile's result `after` (of `before`, with the build's `state`) to the reference.
Verdict JudgeCompiled(const Bytes& before, const Bytes& after, const XmlDocument& document, const ScriptCompilier& state,
                      std::int64_t reportedGrowth);

// A baseline for CheckLoad: a small generated map loaded from a file of its own.
class LoadBaseline {
public:
    LoadBaseline();
    ~LoadBaseline();
    const HaloPcMap& Map() const { return *map_; }

private:
    MemoryFile file_;
    std::unique_ptr<HaloPcMap> map_;
};

}  // namespace xsc::robust

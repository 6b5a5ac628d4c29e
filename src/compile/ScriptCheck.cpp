#include "compile/ScriptCheck.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "compiler/ScriptWarnings.h"
#include "engine/EngineLimits.h"
#include "engine/EngineTables.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "compile/BuildPhase.h"
#include "map/HaloPcMap.h"
#include "runtime/BinaryStream.h"
#include "scriptdata/LoadScriptData.h"
#include "scriptdata/ScriptArrangement.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc {
namespace {

using Severity = Diagnostic::Severity;

// A refusal as a diagnostic: the message without the "line:column: " that Error::AtScript puts
// in front of it.
Diagnostic Refusal(const Error& e) {
    std::string message = e.what();
    const std::string position = std::to_string(e.line()) + ":" + std::to_string(e.column()) + ": ";
    if (e.line() > 0 && message.rfind(position, 0) == 0) message.erase(0, position.size());
    return {Severity::Error, e.line(), e.column(), message};
}

void CheckSlots(std::int64_t slots, const XmlNode& root, const CheckOptions& options, std::vector<Diagnostic>& out) {
    const std::string needs = "the scripts need " + std::to_string(slots) + " node slots";
    if (options.slotCapacity && slots > *options.slotCapacity) {
        out.push_back({Severity::Error, root.Line, root.Column,
                       needs + " but the map's node data holds " + std::to_string(*options.slotCapacity)});
    }
    if (slots > engine::kEngineSlotLimit) {
        out.push_back({Severity::Warning, root.Line, root.Column,
                       needs + "; the game's engine holds " + std::to_string(engine::kEngineSlotLimit)});
    }
}

void SortByPosition(std::vector<Diagnostic>& diagnostics) {
    std::stable_sort(diagnostics.begin(), diagnostics.end(), [](const Diagnostic& a, const Diagnostic& b) {
        const auto key = [](const Diagnostic& d) {
            return std::make_pair(d.line == 0 ? std::numeric_limits<std::int64_t>::max() : d.line, d.column);
        };
        return key(a) < key(b);
    });
}

}  // namespace

std::vector<Diagnostic> CheckScript(const XmlDocument& document, const CheckOptions& options) {
    std::vector<Diagnostic> found = ScriptWarnings(document, engine::EngineTables::BuiltIn(), options.build);
    try {
        ScriptCompilier state;  // a fresh one: the build phase only assembles in memory
        const BuiltScripts built = BuildPhase(state, document);
        CheckSlots(built.slots, *document.DocumentElement(), options, found);
    } catch (const Error& e) {
        found.push_back(Refusal(e));
    }
    SortByPosition(found);
    return found;
}

std::vector<Diagnostic> CheckMap(const XmlDocument& document, const HaloPcMap& map) {
    try {
        ScriptCompilier state;
        LoadScriptData(map, state);
        const BuiltScripts built = BuildPhase(state, document);
        BinaryStream file = BinaryStream::OpenAsBinaryFile(*map.f, BinaryStream::Mode::ReadOnly);
        CheckArrangement(file, map, state, built);
        const std::string warning = HeaderLengthWarning(map, file.Length());
        if (!warning.empty()) return {{Severity::Warning, 0, 0, warning}};
    } catch (const Error& e) {
        if (e.subject() == Error::Subject::Script) return {};
        return {{Severity::Error, 0, 0, e.what()}};
    }
    return {};
}

std::vector<Diagnostic> CheckScriptText(std::string_view bytes, const CheckOptions& options) {
    XmlDocument document;
    try {
        document = XmlDocument::LoadXml(bytes);
    } catch (const Error& e) {
        return {Refusal(e)};
    }
    return CheckScript(document, options);
}

}  // namespace xsc

#include "compile/ScriptCheck.h"

#include <algorithm>
#include <limits>
#include <tuple>
#include <utility>

#include "compile/BuildPhase.h"
#include "compile/CompileChecks.h"
#include "compile/NameCheck.h"
#include "common/ScriptWarnings.h"
#include "engine/EngineLimits.h"
#include "engine/EngineTables.h"
#include "hsc/SourceCompile.h"
#include "map/HaloPcMap.h"
#include "runtime/BinaryStream.h"
#include "runtime/Error.h"
#include "scriptdata/LoadScriptData.h"
#include "scriptdata/ScriptArrangement.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc {
namespace {

using Severity = Diagnostic::Severity;

// A refusal as a diagnostic: the message without the "line:column: " that Error::AtScript puts
// in front of it. `files`: the names of a program's source files, which the error counts.
Diagnostic Refusal(const Error& e, const std::vector<hsc::SourceFile>& files = {}) {
    std::string message = e.what();
    const std::string position = std::to_string(e.line()) + ":" + std::to_string(e.column()) + ": ";
    if (e.line() > 0 && message.rfind(position, 0) == 0) message.erase(0, position.size());
    const auto file = static_cast<std::size_t>(e.file());
    return {Severity::Error, e.line(), e.column(), message, file < files.size() ? files[file].name : std::string()};
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

// What the build phase refuses, and the slots it needs against the map's and the engine's.
void CheckBuild(const XmlDocument& document, const CheckOptions& options, std::vector<Diagnostic>& out,
                const std::vector<hsc::SourceFile>& files = {}) {
    try {
        ScriptCompilier state;  // a fresh one: the build phase only assembles in memory
        const BuiltScripts built = BuildPhase(state, document);
        CheckSlots(built.slots, *document.DocumentElement(), options, out);
    } catch (const Error& e) {
        out.push_back(Refusal(e, files));
    }
}

// By file (in the order of `files`), then by line and column; those about the whole script last.
void SortByPosition(std::vector<Diagnostic>& diagnostics, const std::vector<hsc::SourceFile>& files = {}) {
    const auto key = [&](const Diagnostic& d) {
        const auto file = std::find_if(files.begin(), files.end(), [&](const hsc::SourceFile& f) { return f.name == d.file; });
        return std::make_tuple(d.line == 0, file - files.begin(), d.line, d.column);
    };
    std::stable_sort(diagnostics.begin(), diagnostics.end(), [&](const Diagnostic& a, const Diagnostic& b) { return key(a) < key(b); });
}

bool HasError(const std::vector<Diagnostic>& diagnostics) {
    return std::any_of(diagnostics.begin(), diagnostics.end(), [](const Diagnostic& d) { return d.severity == Severity::Error; });
}

CheckedScript CheckSource(const std::vector<hsc::SourceFile>& files, const CheckOptions& options) {
    CheckedScript checked;
    if (!options.build) {
        checked.diagnostics.push_back({Severity::Error, 0, 0,
                                       "a script in the source language is compiled for one build of the game, and the build "
                                       "is not known: name it with --engine retail, custom or demo"});
        return checked;
    }
    hsc::CompiledSource compiled = hsc::CompileSources(files, engine::EngineTables::BuiltIn(), *options.build);
    checked.diagnostics = std::move(compiled.diagnostics);
    checked.windows1252 = compiled.windows1252;
    if (compiled.document) {
        std::vector<std::string> fileNames;
        for (const hsc::SourceFile& f : files) fileNames.push_back(f.name);
        const std::vector<Diagnostic> names = CheckNames(*compiled.document, options.names, fileNames, options.noNamesWhy);
        checked.diagnostics.insert(checked.diagnostics.end(), names.begin(), names.end());
        CheckBuild(*compiled.document, options, checked.diagnostics, files);
        checked.document = std::move(compiled.document);
    }
    return checked;
}

CheckedScript CheckXml(std::string_view bytes, const CheckOptions& options) {
    CheckedScript checked;
    try {
        checked.document = XmlDocument::LoadXml(bytes);
    } catch (const Error& e) {
        checked.diagnostics.push_back(Refusal(e));
        return checked;
    }
    checked.diagnostics = CheckScript(*checked.document, options);
    return checked;
}

}  // namespace

std::vector<Diagnostic> CheckMap(const XmlDocument& document, const HaloPcMap& map, BinaryStream& file) {
    try {
        ScriptCompilier state;
        LoadScriptData(map, state, file);
        const BuiltScripts built = BuildPhase(state, document);
        CheckBeforeWrite(file, map, state, built);
        const std::string warning = HeaderLengthWarning(map, file.Length());
        if (!warning.empty()) return {{Severity::Warning, 0, 0, warning}};
    } catch (const Error& e) {
        if (e.subject() == Error::Subject::Script) return {};
        return {{Severity::Error, 0, 0, e.what()}};
    }
    return {};
}

std::vector<Diagnostic> CheckScript(const XmlDocument& document, const CheckOptions& options) {
    std::vector<Diagnostic> found = ScriptWarnings(document, engine::EngineTables::BuiltIn(), options.build);
    const std::vector<Diagnostic> names = CheckNames(document, options.names, {}, options.noNamesWhy);
    found.insert(found.end(), names.begin(), names.end());
    CheckBuild(document, options, found);
    SortByPosition(found);
    return found;
}

CheckedScript CheckSources(const std::vector<hsc::SourceFile>& files, const CheckOptions& options) {
    CheckedScript checked = CheckSource(files, options);
    SortByPosition(checked.diagnostics, files);
    if (HasError(checked.diagnostics)) checked.document.reset();
    return checked;
}

CheckedScript CheckScriptText(std::string_view bytes, ScriptLanguage language, const CheckOptions& options) {
    if (language == ScriptLanguage::Source) return CheckSources({{std::string(), bytes}}, options);
    CheckedScript checked = CheckXml(bytes, options);
    SortByPosition(checked.diagnostics);
    if (HasError(checked.diagnostics)) checked.document.reset();
    return checked;
}

CheckedScript CheckScriptText(std::string_view bytes, const CheckOptions& options) {
    return CheckScriptText(bytes, DetectScriptLanguage(bytes), options);
}

}  // namespace xsc

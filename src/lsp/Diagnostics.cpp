#include "lsp/Diagnostics.h"

#include <algorithm>

#include <QJsonArray>

#include "compile/ScriptCheck.h"
#include "engine/MapEngine.h"
#include "lsp/MapLookup.h"
#include "lsp/Protocol.h"
#include "lsp/Workspace.h"
#include "map/HaloPcMap.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"

namespace xsc::lsp {
namespace {

using Severity = Diagnostic::Severity;

// The protocol's severities: 1 error, 2 warning, 3 information.
int ProtocolSeverity(Severity severity) {
    switch (severity) {
        case Severity::Error: return 1;
        case Severity::Warning: return 2;
        case Severity::Note: return 3;
    }
    return 3;
}

// Kinds of findings by a part of their message, first match wins.
struct CodePattern {
    const char* part;
    const char* code;
};
constexpr CodePattern kCodes[] = {
    {"unknown function", "unknown-function"},
    {"has no such function", "function-not-in-build"},
    {" is an engine global, not a function", "global-called"},
    {" arguments), not ", "argument-count"},
    {" takes no arguments", "argument-count"},
    {"cannot stand where", "type-mismatch"},
    {"no script of this source is named", "unknown-script"},
    {"no engine global", "unknown-name"},
    {"a second script named", "duplicate-script"},
    {"a script cannot be named like the engine function", "script-named-like-function"},
    {"only static and stub scripts can be called", "script-not-callable"},
    {"calls nested", "call-depth"},
    {"node slots", "node-slots"},
    {"of the map's things", "map-names"},
    {" compares ", "comparison"},
    {"the engine global", "global-not-in-build"},
    {"(global ...)", "scenario-global"},
    {"never closed", "syntax"},
    {"closes no list", "syntax"},
    {"nested more than", "syntax"},
    {"expected (script ...)", "syntax"},
    {"expected the script", "syntax"},
    {"this string ", "text"},
    {"this name ", "text"},
    {"as public toolkits describe them", "unverified-layout"},
};

// The map's own findings are about the map, not a place in the script: said at the file's start.
void AddMapFindings(std::vector<Diagnostic>& to, std::vector<Diagnostic> found, const std::filesystem::path& map) {
    for (Diagnostic& d : found) {
        d.message = Utf8(map.filename()) + ": " + d.message;
        to.push_back(std::move(d));
    }
}

// Where the findings about the program as a whole go (the map cannot be read, the node slots the
// program needs, the build is not known): the first of its files, in the program's order, that the
// client has open. One place, the same whichever file was changed last: had it followed the
// change, it would leave the list of one file for another's at every edit.
const TextDocument* ProgramHome(Workspace& workspace, const std::vector<const TextDocument*>& program, const TextDocument& about) {
    for (const TextDocument* document : program) {
        if (workspace.Find(document->Uri()) == document) return document;
    }
    return &about;
}

}  // namespace

const char* DiagnosticCode(const Diagnostic& diagnostic) {
    for (const CodePattern& pattern : kCodes) {
        if (diagnostic.message.find(pattern.part) != std::string::npos) return pattern.code;
    }
    return "check";
}

// The check itself, as `xsc check` runs it: one file alone, or the program's files together.
CheckedScript CheckText(Workspace& workspace, const std::vector<const TextDocument*>& program, const TextDocument& about,
                        const CheckOptions& options) {
    const ScriptLanguage language = LanguageOf(about);
    if (program.size() < 2 || language == ScriptLanguage::Xml) return CheckScriptText(about.Text(), language, options);
    std::vector<hsc::SourceFile> files;
    for (const TextDocument* document : program) files.push_back({workspace.Label(*document), document->Text()});
    return CheckSources(files, options);
}

DocumentFindings CheckDocuments(Workspace& workspace, const std::vector<const TextDocument*>& program,
                                                                      const TextDocument& about) {
    const ProjectConfig& config = workspace.Config();
    CheckOptions options;
    options.build = config.build.value_or(engine::kDefaultBuild);
    std::vector<Diagnostic> found;
    std::vector<Diagnostic> aboutMap;
    if (!config.map) {
        found = CheckText(workspace, program, about, options).diagnostics;
    } else {
        try {
            std::string recovered;
            WithMap(*config.map, [&](const HaloPcMap& map, BinaryStream& file) {
                const engine::MapEngine engine = engine::ReadMapEngine(file);
                if (!config.build) options.build = engine.build;
                if (!options.build) {
                    aboutMap.push_back({Severity::Note, 0, 0, "the map's engine build is " + engine::DescribeMapEngine(engine) +
                                                                  "; no engine checks (known: " + engine::KnownMapEngines() + ")"});
                }
                // The names of the map's things are looked up in it, as `xsc check --map` does.
                const MapNames names = MapNames::Read(map, file);
                const NameResolver resolver(names);
                options.names = &resolver;
                CheckedScript checked = CheckText(workspace, program, about, options);
                found = std::move(checked.diagnostics);
                if (checked.document) {
                    const std::vector<Diagnostic> mapFindings = CheckMap(*checked.document, map, file);
                    aboutMap.insert(aboutMap.end(), mapFindings.begin(), mapFindings.end());
                }
            }, &recovered);
            if (!recovered.empty()) aboutMap.insert(aboutMap.begin(), {Severity::Note, 0, 0, recovered});
        } catch (const Error& e) {
            options.build = config.build.value_or(engine::kDefaultBuild);
            options.noNamesWhy = "the map cannot be read (see the warning about it)";
            found = CheckText(workspace, program, about, options).diagnostics;
            aboutMap = {{Severity::Warning, 0, 0,
                         std::string(e.what()) + "; checked against the " + std::string(engine::BuildName(*options.build)) +
                             " build without the map"}};
        }
        AddMapFindings(found, std::move(aboutMap), *config.map);
    }
    // Each finding to the file it names; one that names none is about the program.
    DocumentFindings byDocument;
    for (const TextDocument* document : program) byDocument.emplace_back(document, std::vector<Diagnostic>());
    if (std::find(program.begin(), program.end(), &about) == program.end()) byDocument.emplace_back(&about, std::vector<Diagnostic>());
    const auto findingsOf = [&](const TextDocument* document) -> std::vector<Diagnostic>& {
        return std::find_if(byDocument.begin(), byDocument.end(), [&](const auto& entry) { return entry.first == document; })->second;
    };
    const TextDocument* home = ProgramHome(workspace, program, about);
    for (Diagnostic& d : found) {
        const auto named = std::find_if(program.begin(), program.end(), [&](const TextDocument* document) {
            return !d.file.empty() && workspace.Label(*document) == d.file;
        });
        findingsOf(named == program.end() ? home : *named).push_back(std::move(d));
    }
    return byDocument;
}

QJsonObject PublishParams(Workspace& workspace, const TextDocument& document, const std::vector<Diagnostic>& diagnostics) {
    const SourceIndex& index = workspace.IndexOf(document);
    // In XML a finding marks the character it is at: the source language's words mean nothing there.
    const bool xml = LanguageOf(document) == ScriptLanguage::Xml;
    QJsonArray items;
    for (const Diagnostic& d : diagnostics) {
        // Findings about the script or the map as a whole stand at the start of the file.
        std::size_t begin = 0, end = 0;
        if (d.line > 0) {
            begin = document.OffsetOf({d.line, d.column});
            end = std::min(xml ? begin + 1 : index.MarkEnd(begin), document.Text().size());
        }
        items.append(QJsonObject{{"range", ToJson(document.RangeOf(begin, end, workspace.Encoding()))},
                                 {"severity", ProtocolSeverity(d.severity)},
                                 {"code", DiagnosticCode(d)},
                                 {"source", "xsc"},
                                 {"message", QString::fromStdString(d.message)}});
    }
    return {{"uri", document.Uri()}, {"version", static_cast<qint64>(document.Version())}, {"diagnostics", items}};
}

}  // namespace xsc::lsp

#pragma once
// Diagnostics: what `xsc check` reports of each file of a program, as the protocol's
// publishDiagnostics notifications. Each finding gets its range (the word it is about, or a
// call's "(" and function name), its severity (a note is information), a code naming its kind,
// and "xsc" as its source. With a map configured, the map is opened for the check and let go,
// and what a compile into it would refuse is reported at the start of the file, naming the map.

#include <vector>

#include <QJsonObject>

#include "common/Diagnostic.h"

namespace xsc::lsp {

struct ProjectConfig;
class TextDocument;
class Workspace;

// The findings of `xsc check` for the document against the workspace's build and map.
std::vector<Diagnostic> CheckDocument(const TextDocument& document, const ProjectConfig& config);

// The notification's params for one document.
QJsonObject PublishParams(Workspace& workspace, const TextDocument& document, const std::vector<Diagnostic>& diagnostics);

// The code of a finding, from its message: "unknown-function", "argument-count", ... ("check"
// for findings of no listed kind).
const char* DiagnosticCode(const Diagnostic& diagnostic);

}  // namespace xsc::lsp

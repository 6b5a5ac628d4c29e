#pragma once
// Diagnostics: what `xsc check` reports of a program (one document, or the files of the
// workspace's sources checked together, as `xsc check scripts/` checks them), each file's in it,
// as the protocol's publishDiagnostics notifications. Each finding gets its range (the word it is about, or a
// call's "(" and function name), its severity (a note is information), a code naming its kind,
// and "xsc" as its source. With a map configured, the map is opened for the check and let go,
// and what a compile into it would refuse is reported at the start of the file, naming the map.

#include <utility>
#include <vector>

#include <QJsonObject>

#include "common/Diagnostic.h"

namespace xsc::lsp {

struct ProjectConfig;
class TextDocument;
class Workspace;

// The findings of `xsc check` for the program's documents against the workspace's build and map,
// by document in the program's order (`about`, the document whose change asked for the check, is
// among them); each in the file it names, and those about the program or the map as a whole in
// the first file of the program the client has open.
using DocumentFindings = std::vector<std::pair<const TextDocument*, std::vector<Diagnostic>>>;
DocumentFindings CheckDocuments(Workspace& workspace, const std::vector<const TextDocument*>& program,
                                                                      const TextDocument& about);

// The notification's params for one document.
QJsonObject PublishParams(Workspace& workspace, const TextDocument& document, const std::vector<Diagnostic>& diagnostics);

// The code of a finding, from its message: "unknown-function", "argument-count", ... ("check"
// for findings of no listed kind).
const char* DiagnosticCode(const Diagnostic& diagnostic);

}  // namespace xsc::lsp

#pragma once
// Completion: what may stand where the cursor is.
//
//   (|                  at the top level: script, global
//   (script |           the script types; (script static | the value types
//   (sle|               the build's functions (with their parameters and result), the program's
//                       static and stub scripts, cond
//   (sleep_until x |    what argument 2 expects: engine globals of a type that converts to it,
//                       the program's globals of that type, true/false for a boolean, the
//                       program's scripts for a script; where the type names the map's things,
//                       the names the workspace's map has of that kind (camera_set's first
//                       argument: its camera points), quoted where a bare word would be read as
//                       something else, and an enum type's words
//
// Items whose name starts with the word typed so far (in any letter case) are offered; nothing
// inside a string or outside every list.

#include <QJsonValue>

#include "lsp/Protocol.h"

namespace xsc::lsp {

QJsonValue Complete(FeatureContext& context, const QJsonObject& params);

}  // namespace xsc::lsp

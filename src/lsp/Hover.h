#pragma once
// Hover: what the word under the cursor names. A function: its signature, its result and its
// number in the build; an engine global: its type; a script or global of the program: its
// declaration and where it stands.

#include <QJsonValue>

#include "lsp/Protocol.h"

namespace xsc::lsp {

QJsonValue Hover(FeatureContext& context, const QJsonObject& params);

}  // namespace xsc::lsp

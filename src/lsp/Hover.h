#pragma once
// Hover: what the word under the cursor names. A function: its signature, its result and its
// number in the build; an engine global: its type; a script or global of the program: its
// declaration and where it stands; a name of the map's things in a slot that takes one: its kind
// and index in the map (a tag's path and ID too), as a compile would look it up.

#include <QJsonValue>

#include "lsp/Protocol.h"

namespace xsc::lsp {

QJsonValue Hover(FeatureContext& context, const QJsonObject& params);

}  // namespace xsc::lsp

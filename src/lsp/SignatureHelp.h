#pragma once
// Signature help: the parameters of the function whose call the cursor stands in, with the one
// the cursor's argument takes marked (a repeated item stays marked for every argument it takes).

#include <QJsonValue>

#include "lsp/Protocol.h"

namespace xsc::lsp {

QJsonValue SignatureHelp(FeatureContext& context, const QJsonObject& params);

}  // namespace xsc::lsp

#pragma once
// Document symbols: the document's scripts and globals, in order, each with its whole form and
// its name, and its type as detail ("static boolean", "short").

#include <QJsonValue>

#include "lsp/Protocol.h"

namespace xsc::lsp {

QJsonValue DocumentSymbols(FeatureContext& context, const QJsonObject& params);

}  // namespace xsc::lsp

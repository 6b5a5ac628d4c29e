#pragma once
// Go to definition and find references of the program's scripts and globals, across the files of
// the program: the definition is the name in its (script ...) or (global ...) header; a reference
// is every word of the program spelled like it (a call, a wake's argument, a quoted name).

#include <QJsonValue>

#include "lsp/Protocol.h"

namespace xsc::lsp {

QJsonValue Definition(FeatureContext& context, const QJsonObject& params);
QJsonValue References(FeatureContext& context, const QJsonObject& params);

}  // namespace xsc::lsp

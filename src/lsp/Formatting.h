#pragma once
// Formatting: the document in the layout xsc decompiles into (a list that fits in 100 columns on
// one line, else one item a line two spaces deeper; a blank line between scripts), as one edit of
// the whole text, or none when it is already so.
//
// The layout keeps no comments, so a document that has any is not formatted (the request fails
// with a message saying so) rather than losing them; nor is one with syntax errors, whose text
// the forms do not hold whole. Line ends stay those of the document's first line.

#include <QJsonValue>

#include "lsp/Protocol.h"

namespace xsc::lsp {

// Throws rpc::RequestFailed when the document cannot be formatted without losing text.
QJsonValue Format(FeatureContext& context, const QJsonObject& params);

}  // namespace xsc::lsp

#pragma once
// The source language from text to the document the build phase compiles: read the forms,
// check them against one build's engine tables, lower the checked program to the XML language's
// elements. Every fault of every step is reported; the document exists only when none is an
// error.

#include <optional>
#include <string_view>
#include <vector>

#include "common/Diagnostic.h"
#include "engine/EngineBuild.h"
#include "runtime/XmlDocument.h"

namespace xsc::engine {
class EngineTables;
}

namespace xsc::hsc {

struct CompiledSource {
    std::optional<XmlDocument> document;
    std::vector<Diagnostic> diagnostics;  // in the order found
};

CompiledSource CompileSource(std::string_view text, const engine::EngineTables& tables, engine::EngineBuild build);

}  // namespace xsc::hsc

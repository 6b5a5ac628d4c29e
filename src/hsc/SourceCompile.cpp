#include "hsc/SourceCompile.h"

#include "hsc/Lowering.h"
#include "hsc/Parser.h"
#include "hsc/TypeCheck.h"

namespace xsc::hsc {

CompiledSource CompileSource(std::string_view text, const engine::EngineTables& tables, engine::EngineBuild build) {
    ParsedSource parsed = ParseSource(text);
    CheckedProgram checked = CheckProgram(parsed.forms, tables, build);
    CompiledSource compiled;
    // A syntax error leaves forms out of the program, which may still check without a fault.
    if (parsed.errors.empty() && checked.program) compiled.document = LowerProgram(*checked.program);
    compiled.diagnostics = std::move(parsed.errors);
    compiled.diagnostics.insert(compiled.diagnostics.end(), checked.diagnostics.begin(), checked.diagnostics.end());
    return compiled;
}

}  // namespace xsc::hsc

#include "hsc/SourceCompile.h"

#include "hsc/Lowering.h"
#include "hsc/Parser.h"
#include "hsc/TypeCheck.h"

namespace xsc::hsc {

CompiledSource CompileSource(std::string_view text, const engine::EngineTables& tables, engine::EngineBuild build) {
    return CompileSources({{std::string(), text}}, tables, build);
}

CompiledSource CompileSources(const std::vector<SourceFile>& files, const engine::EngineTables& tables, engine::EngineBuild build) {
    CompiledSource compiled;
    std::vector<Form> forms;
    std::vector<std::string> names;
    bool syntaxErrors = false;
    for (std::size_t i = 0; i < files.size(); ++i) {
        ParsedSource parsed = ParseSource(files[i].text, static_cast<std::int32_t>(i));
        names.push_back(files[i].name);
        if (parsed.windows1252) {
            compiled.windows1252 = true;
            compiled.diagnostics.push_back({Diagnostic::Severity::Note, 1, 1,
                                            "this file is not UTF-8: it is read as Windows-1252, the code page of the game's own "
                                            "scripts, and its texts are stored byte for byte as the game reads them",
                                            files[i].name});
        }
        for (Diagnostic& d : parsed.errors) d.file = files[i].name;
        syntaxErrors = syntaxErrors || !parsed.errors.empty();
        compiled.diagnostics.insert(compiled.diagnostics.end(), parsed.errors.begin(), parsed.errors.end());
        forms.insert(forms.end(), std::make_move_iterator(parsed.forms.begin()), std::make_move_iterator(parsed.forms.end()));
    }
    CheckedProgram checked = CheckProgram(forms, tables, build, names);
    // A syntax error leaves forms out of the program, which may still check without a fault.
    if (!syntaxErrors && checked.program) compiled.document = LowerProgram(*checked.program);
    compiled.diagnostics.insert(compiled.diagnostics.end(), checked.diagnostics.begin(), checked.diagnostics.end());
    return compiled;
}

}  // namespace xsc::hsc

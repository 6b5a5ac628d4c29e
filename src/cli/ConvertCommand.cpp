#include "ConvertCommand.h"

#include <ostream>

#include "Diagnostics.h"
#include "OutputFile.h"
#include "ScriptFile.h"
#include "compile/ConvertScript.h"
#include "compile/ScriptCheck.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"

namespace xsc::cli {
namespace {

// The source checked whole: every error is printed before the conversion is refused.
XmlDocument CheckedSource(const std::string& text, const ConvertArgs& args, std::ostream& err) {
    CheckOptions options;
    options.build = args.build;
    CheckedScript checked = CheckScriptText(text, ScriptLanguage::Source, options);
    if (checked.windows1252) {
        throw Error(ScriptLabel(args.script) + " is in the Windows-1252 code page, whose texts the game stores byte for byte; the "
                    "XML language is UTF-8 and would store them otherwise: compile the source itself, or save it as UTF-8 "
                    "first",
                    Error::Subject::General);
    }
    if (checked.document) return std::move(*checked.document);
    std::vector<Diagnostic> errors;
    for (const Diagnostic& d : checked.diagnostics) {
        if (d.severity == Diagnostic::Severity::Error) errors.push_back(d);
    }
    const std::string label = ScriptLabel(args.script);
    PrintDiagnostics(errors, label, err);
    throw Error(label + ": " + std::to_string(errors.size()) + (errors.size() == 1 ? " error" : " errors") + "; nothing was converted");
}

}  // namespace

void RunConvert(const ConvertArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    const std::string text = ReadScript(args.script, in);
    const ScriptLanguage from = LanguageOfScriptArgument(args.script, text);
    const ScriptLanguage to = from == ScriptLanguage::Source ? ScriptLanguage::Xml : ScriptLanguage::Source;
    if (args.output && LanguageOfExtension(*args.output) == from) {
        throw Error(Utf8(*args.output) + " names a script in the " + std::string(LanguageName(from)) + " language, which " +
                    ScriptLabel(args.script) + " is written in already; convert writes the other language");
    }
    const std::string converted = from == ScriptLanguage::Source ? ConvertToXml(CheckedSource(text, args, err), args.build)
                                                                 : ConvertToSource(XmlDocument::LoadXml(text), args.build);
    if (!args.output) {
        WriteToOutput(out, converted);
        return;
    }
    WriteWholeFile(*args.output, converted);
    out << "converted " << ScriptLabel(args.script) << " into " << Utf8(*args.output) << " (" << LanguageName(to)
        << ", for the " << engine::BuildName(args.build) << " build)\n";
}

}  // namespace xsc::cli

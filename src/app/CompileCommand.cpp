#include "CompileCommand.h"

#include <QString>

#include "compile/BuildScriptData.h"
#include "compile/DecompileSource.h"
#include "compile/ScriptCheck.h"
#include "compile/ScriptLanguageChoice.h"
#include "engine/MapEngine.h"
#include "map/HaloPcMap.h"
#include "map/MapFile.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/Error.h"
#include "scriptdata/ReadScriptData.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc {
namespace {

void RefuseUnknownBuild(const engine::MapEngine& engine) {
    throw Error("a script in the source language is compiled for one build of the game, and this map's build is " +
                    engine::DescribeMapEngine(engine) + "; known: " + engine::KnownMapEngines() +
                    ". Write the script in XML, or compile it with xsc compile --engine",
                Error::Subject::Map);
}

// The source language is UTF-8. XML is parsed from the field's text as it stands: an encoding its
// declaration names was the encoding of bytes the field no longer has. A source is checked for
// the build the map's header names, as `xsc compile` takes it, and names of the map's things are
// looked up in `names`, as the compile looks them up.
CheckedScript CheckText(const QString& text, const engine::MapEngine& engine, const NameResolver& names) {
    const QByteArray utf8 = text.toUtf8();
    const std::string_view bytes(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    CheckOptions options;
    options.build = engine.build;
    options.names = &names;
    if (DetectScriptLanguage(bytes) == ScriptLanguage::Source) {
        if (!options.build) RefuseUnknownBuild(engine);
        return CheckScriptText(bytes, ScriptLanguage::Source, options);
    }
    CheckedScript checked;
    checked.document = XmlDocument::LoadXml(text);
    checked.diagnostics = CheckScript(*checked.document, options);
    return checked;
}

void SplitBySeverity(CheckedScript& checked, CheckedForCompile& out) {
    for (Diagnostic& d : checked.diagnostics) {
        if (d.severity == Diagnostic::Severity::Error) out.errors.push_back(std::move(d));
        if (d.severity == Diagnostic::Severity::Warning) out.warnings.push_back(std::move(d));
    }
}

// What a compile into the map warns of; nothing when it is going to refuse the map.
std::optional<std::vector<Diagnostic>> MapWarnings(const XmlDocument& document, const HaloPcMap& map, MapFile& file) {
    std::vector<Diagnostic> found = CheckMap(document, map, file.Stream());
    for (const Diagnostic& d : found) {
        if (d.severity == Diagnostic::Severity::Error) return std::nullopt;
    }
    return found;
}

}  // namespace

CheckedForCompile CheckScriptForCompile(const HaloPcMap& map, const QString& scriptText) {
    if (!map.f) {
        throw Error("No map is loaded. Choose File > Load map, then compile again.");
    }
    // The map is read for the check under its shared lock, and let go before the window asks
    // anything: the compile opens it again, and checks it again before its first write.
    MapFile file = MapFile::Open(*map.f, MapFile::Access::Read);
    const MapNames names = MapNames::Read(map, file.Stream());
    CheckedScript checked = CheckText(scriptText, engine::ReadMapEngine(file.Stream()), NameResolver(names));
    CheckedForCompile out;
    out.recovered = file.Found().message;
    SplitBySeverity(checked, out);
    if (!out.errors.empty()) return out;
    // A compile that is going to refuse the map says so itself, alone: the warnings are kept back,
    // as `xsc compile` keeps them.
    if (auto mapWarnings = MapWarnings(*checked.document, map, file)) {
        out.mapWarnings = std::move(*mapWarnings);
    } else {
        out.warnings.clear();
    }
    out.document = std::move(checked.document);
    return out;
}

std::string DecompileLoadedMap(const HaloPcMap& map) {
    if (!map.f) throw Error("No map is loaded. Choose File > Load map, then decompile it.");
    MapFile file = MapFile::Open(*map.f, MapFile::Access::Read);
    const engine::MapEngine engine = engine::ReadMapEngine(file.Stream());
    if (!engine.build) {
        throw Error("the source language is written for one build of the game, and this map's build is " +
                        engine::DescribeMapEngine(engine) + "; known: " + engine::KnownMapEngines(),
                    Error::Subject::Map);
    }
    const MapNames names = MapNames::Read(map, file.Stream());
    const NameResolver resolver(names);
    return DecompileToSource(ReadScriptData(map, file.Stream()), *engine.build, &resolver);
}

void CompileCheckedScript(HaloPcMap& map, ScriptCompilier& state, const XmlDocument& document) {
    BuildScriptData(map, document, state);
}

}  // namespace xsc

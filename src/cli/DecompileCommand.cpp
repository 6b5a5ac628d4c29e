#include "DecompileCommand.h"

#include <ostream>

#include "Diagnostics.h"
#include "MapOpening.h"
#include "OutputFile.h"
#include "compile/DecompileSource.h"
#include "compile/ScriptLanguageChoice.h"
#include "xml/Decompile.h"
#include "map/HaloPcMap.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"
#include "scriptdata/ReadScriptData.h"

namespace xsc::cli {
namespace {

// The build the source is written for: --engine's, else the map's.
engine::EngineBuild SourceBuild(const DecompileArgs& args, BinaryStream& map, std::ostream& err) {
    if (args.engine) return *args.engine;
    const MapBuild mapBuild = BuildOfMap(map);
    if (!mapBuild.build) {
        if (mapBuild.note) PrintDiagnostics({*mapBuild.note}, Utf8(args.map), err);
        throw Error("the source language is written for one build of the game, and the map's is not known: name it with "
                    "--engine retail, custom or demo",
                    Error::Subject::Map);
    }
    return *mapBuild.build;
}

}  // namespace

void RunDecompile(const DecompileArgs& args, std::ostream& out, std::ostream& err) {
    OpenedMap opened = OpenMapForCommand(args.map, MapFile::Access::Read, err);
    const CompiledScriptData data = ReadScriptData(opened.map, opened.Stream());
    const MapNames names = MapNames::Read(opened.map, opened.Stream());
    const NameResolver resolver(names);
    const bool source = args.source || (args.output && LanguageOfExtension(*args.output) == ScriptLanguage::Source);
    const std::string document =
        source ? DecompileToSource(data, SourceBuild(args, opened.Stream(), err), &resolver) : Decompile(data, &resolver);
    if (!args.output) {
        WriteToOutput(out, document);
        return;
    }
    WriteWholeFile(*args.output, document);
    const std::size_t scripts = data.ScriptCount();
    out << "decompiled " << scripts << (scripts == 1 ? " script" : " scripts") << " from " << Utf8(args.map)
        << " into " << Utf8(*args.output) << "\n";
}

}  // namespace xsc::cli

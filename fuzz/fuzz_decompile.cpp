// The input is a map file: it is loaded and its compiled scripts are decompiled. Every input must
// end in a document or an xsc::Error. A document must be one the compiler reads, and its build
// (in memory) must give back the map's texts and the names and types of its script records.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "FuzzVerdict.h"
#include "MemoryFile.h"
#include "compiler/Decompile.h"
#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "compile/BuildPhase.h"
#include "scriptdata/ReadScriptData.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/ScriptDataFormat.h"

namespace {

void Finding(const char* what) { xsc::fuzz::Enforce({xsc::robust::Verdict::Kind::Violation, what}); }

void CheckBuildGivesBack(const xsc::CompiledScriptData& data, const std::string& document) {
    try {
        const xsc::XmlDocument parsed = xsc::XmlDocument::LoadXml(document);
        if (data.fresh) return;
        xsc::ScriptCompilier state;
        const xsc::BuiltScripts built = xsc::BuildPhase(state, parsed);
        const std::size_t texts = data.strings.size() - xsc::scriptformat::kStringDataZeroBytes;
        if (static_cast<std::size_t>(built.stringBytes) != texts ||
            std::memcmp(state.StrBlock.Data(), data.strings.data(), texts) != 0) {
            Finding("the decompiled document builds other texts than the map holds");
        }
        if (built.records.size() != data.ScriptCount()) Finding("the decompiled document builds another number of scripts");
        for (std::size_t i = 0; i < built.records.size(); ++i) {
            // Name, type and return type; the root pointer depends on where the nodes lie.
            const std::size_t at = static_cast<std::size_t>(xsc::scriptformat::kRecordSize) * i;
            if (std::memcmp(built.records[i].Data(), data.records.data() + at, xsc::scriptformat::kRecordRoot) != 0) {
                Finding("the decompiled document builds another script record");
            }
        }
    } catch (const xsc::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        Finding("the decompiled document does not compile");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static xsc::robust::MemoryFile file;
    file.Assign(xsc::robust::Bytes(bytes, bytes + size));
    xsc::CompiledScriptData data;
    std::string document;
    try {
        xsc::HaloPcMap map;
        map.LoadMap(file.Path());
        data = xsc::ReadScriptData(map);
        document = xsc::Decompile(data);
    } catch (const xsc::Error&) {
        return 0;  // a clear refusal
    }
    CheckBuildGivesBack(data, document);
    return 0;
}

#include "FuzzEntries.h"

#include <cstring>

#include "MemoryFile.h"
#include "compile/BuildPhase.h"
#include "compiler/Decompile.h"
#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/ReadScriptData.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc::robust {

// Strings "begin", "sleep" and "cell" make 17 bytes, so 3 bytes of padding follow the zeros.
const std::string_view kFixedScript =
    "<scripts>"
    "<script NameAttr='startup' TypeAttr='1' ReTypeAttr='4'>"
    "<ScriptCommand Command='sleep' EngineId='22' ValueType='4'><ScriptValue ValueType='7' Value='30'/>"
    "</ScriptCommand></script>"
    "<script NameAttr='idle' TypeAttr='2'><ScriptValue ValueType='3' Value='cell'/></script>"
    "</scripts>";

mapgen::MapOptions TinyMap(std::uint64_t seed, bool daehHeader) {
    return {.seed = seed, .daehHeader = daehHeader, .headSize = 0, .tagCount = 3, .slotCapacity = 32,
            .tagDataSize = 512, .scenarioTailSize = 64, .addressEvery = 4};
}

Verdict RunLoadMapInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    return CheckLoad(file, Bytes(data, data + size), BaselineMap());
}

namespace {

// A decompiled document, built in memory: the same texts, scripts and records as the map holds.
Verdict BuildGivesBack(const CompiledScriptData& data, const std::string& document) {
    const auto violation = [](const char* what) { return Verdict{Verdict::Kind::Violation, what}; };
    try {
        const XmlDocument parsed = XmlDocument::LoadXml(document);
        if (data.fresh) return {};
        ScriptCompilier state;
        const BuiltScripts built = BuildPhase(state, parsed);
        const std::size_t texts = data.strings.size() - scriptformat::kStringDataZeroBytes;
        if (static_cast<std::size_t>(built.stringBytes) != texts ||
            std::memcmp(state.StrBlock.Data(), data.strings.data(), texts) != 0) {
            return violation("the decompiled document builds other texts than the map holds");
        }
        if (built.records.size() != data.ScriptCount()) return violation("the decompiled document builds another number of scripts");
        for (std::size_t i = 0; i < built.records.size(); ++i) {
            // Name, type and return type; the root pointer depends on where the nodes lie.
            const std::size_t at = static_cast<std::size_t>(scriptformat::kRecordSize) * i;
            if (std::memcmp(built.records[i].Data(), data.records.data() + at, scriptformat::kRecordRoot) != 0) {
                return violation("the decompiled document builds another script record");
            }
        }
    } catch (const Error& e) {
        return {Verdict::Kind::Violation, std::string("the decompiled document does not compile: ") + e.what()};
    }
    return {};
}

}  // namespace

Verdict RunDecompileInput(const std::uint8_t* bytes, std::size_t size) {
    static MemoryFile file;
    file.Assign(Bytes(bytes, bytes + size));
    CompiledScriptData data;
    std::string document;
    try {
        HaloPcMap map;
        map.LoadMap(file.Path());
        data = ReadScriptData(map);
        document = Decompile(data);
    } catch (const Error& e) {
        return {Verdict::Kind::Refused, e.what()};
    }
    return BuildGivesBack(data, document);
}

Verdict RunCompileXmlInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    // Room for 600 node slots, three tags, about 17 KB.
    static const Bytes host = mapgen::GenerateMap(
        {.seed = 7, .headSize = 0, .tagCount = 3, .slotCapacity = 600, .tagDataSize = 1024, .scenarioTailSize = 128});
    return CheckCompile(file, host, std::string_view(reinterpret_cast<const char*>(data), size));
}

Verdict RunCompileMapInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    static const XmlDocument script = XmlDocument::LoadXml(kFixedScript);
    return CheckCompile(file, Bytes(data, data + size), script);
}

}  // namespace xsc::robust

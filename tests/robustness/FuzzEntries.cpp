#include "FuzzEntries.h"

#include <string>

#include "runtime/XmlDocument.h"

namespace xsc::robust {

// Strings "begin", "sleep" and "cell" make 17 bytes, so 3 bytes of padding follow the zeros.
const std::string_view kFixedScript =
    "<scripts>"
    "<script NameAttr='startup' TypeAttr='1' ReTypeAttr='4'>"
    "<ScriptCommand Command='sleep' EngineId='22' ValueType='4'><ScriptValue ValueType='7' Value='30'/>"
    "</ScriptCommand></script>"
    "<script NameAttr='idle' TypeAttr='2'><ScriptValue ValueType='3' Value='cell'/></script>"
    "</scripts>";

mapgen::MapOptions ScriptHostMap() {
    mapgen::MapOptions o;
    o.seed = 7;
    o.headSize = 0;
    o.tagCount = 3;
    o.slotCapacity = 600;
    o.tagDataSize = 1024;
    o.scenarioTailSize = 128;
    return o;
}

mapgen::MapOptions TinyMap(std::uint64_t seed, bool daehHeader) {
    mapgen::MapOptions o;
    o.seed = seed;
    o.daehHeader = daehHeader;
    o.headSize = 0;
    o.tagCount = 3;
    o.slotCapacity = 32;
    o.tagDataSize = 512;
    o.scenarioTailSize = 64;
    o.addressEvery = 4;
    return o;
}

Verdict RunLoadMapInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    static const LoadBaseline baseline;
    return CheckLoad(file, Bytes(data, data + size), baseline.Map());
}

Verdict RunCompileXmlInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    static const Bytes host = mapgen::GenerateMap(ScriptHostMap());
    return CheckCompile(file, host, std::string_view(reinterpret_cast<const char*>(data), size));
}

Verdict RunCompileMapInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    static const XmlDocument script = XmlDocument::LoadXml(kFixedScript);
    return CheckCompile(file, Bytes(data, data + size), script);
}

}  // namespace xsc::robust

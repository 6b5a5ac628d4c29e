#include "FuzzEntries.h"

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

mapgen::MapOptions TinyMap(std::uint64_t seed, bool daehHeader) {
    return {.seed = seed, .daehHeader = daehHeader, .headSize = 0, .tagCount = 3, .slotCapacity = 32,
            .tagDataSize = 512, .scenarioTailSize = 64, .addressEvery = 4};
}

Verdict RunLoadMapInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    return CheckLoad(file, Bytes(data, data + size), BaselineMap());
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

#include "support/CompileFixture.h"

#include "map/HaloPcMap.h"
#include "compile/ScriptCheck.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"

namespace xsc::test {

mapgen::MapOptions SmallMap(std::uint64_t seed) {
    mapgen::MapOptions o;
    o.seed = seed;
    o.headSize = 4096;
    o.tagCount = 8;
    o.slotCapacity = 200;
    o.tagDataSize = 64 * 1024;
    o.scenarioTailSize = 512;
    return o;
}

mapgen::MapOptions NamedMap(std::uint64_t seed) {
    mapgen::MapOptions o = SmallMap(seed);
    o.names = true;
    o.tagCount = 24;
    o.scenarioTailSize = 1024;
    return o;
}

std::string PrintScript(int statements, const std::string& text) {
    std::string xml = "<s><a NameAttr='main' TypeAttr='2' ReTypeAttr='4'>";
    for (int i = 0; i < statements; ++i) {
        xml += "<ScriptCommand Command='" + text + std::to_string(i) + "' EngineId='28' ValueType='4'>"
               "<ScriptValue ValueType='9' Value='" + text + "'/></ScriptCommand>";
    }
    return xml + "</a><b NameAttr='b'/></s>";
}

XmlDocument ScriptDocument(const std::string& script) {
    if (DetectScriptLanguage(script) == ScriptLanguage::Xml) return XmlDocument::LoadXml(script);
    CheckedScript checked = CheckScriptText(script, ScriptLanguage::Source, {});
    for (const Diagnostic& d : checked.diagnostics) {
        if (d.severity == Diagnostic::Severity::Error) throw Error::AtScript(d.message, d.line, d.column);
    }
    return std::move(*checked.document);
}

Compiled CompileInto(const TempDir& dir, const mapgen::MapOptions& options, const std::string& script,
                     const CompileOptions& compileOptions) {
    Compiled c;
    const auto path = dir / "level.map";
    c.layout = mapgen::WriteMap(path, options);
    c.before = ReadBytes(path);
    c.script = script;
    HaloPcMap map;
    map.LoadMap(path);
    const XmlDocument document = ScriptDocument(script);
    c.summary = BuildScriptData(map, document, c.state, compileOptions);
    c.after = ReadBytes(compileOptions.output ? *compileOptions.output : path);
    return c;
}

Bytes RecordsIn(const Bytes& after, const mapgen::MapLayout& layout, std::int32_t stringBytes, std::int32_t scripts) {
    const std::int32_t pad = (4 - stringBytes % 4) % 4;
    const std::size_t at = static_cast<std::size_t>(layout.stringDataOffset + stringBytes + 1024 + pad);
    return Bytes(after.begin() + static_cast<std::ptrdiff_t>(at),
                 after.begin() + static_cast<std::ptrdiff_t>(at + 92 * static_cast<std::size_t>(scripts)));
}

std::ostream& operator<<(std::ostream& out, const Node& n) {
    return out << std::hex << "{id " << n.identity << ", engine " << n.engine << ", type " << n.valueType << ", exp "
               << n.expType << ", sib " << n.sibIndex << "/" << n.sibIdentity << ", str " << n.stringOffset << ", "
               << n.low << "/" << n.high << "}" << std::dec;
}

Node NodeAt(const Bytes& file, const mapgen::MapLayout& layout, int slot) {
    const std::size_t at = static_cast<std::size_t>(layout.nodeDataOffset) + 0x38 + 20 * static_cast<std::size_t>(slot);
    return Node{Get16(file, at),      Get16(file, at + 2),  Get16(file, at + 4),  Get16(file, at + 6),
                Get16(file, at + 8),  Get16(file, at + 10), Get32(file, at + 12), Get16(file, at + 16),
                Get16(file, at + 18)};
}

}  // namespace xsc::test

#include "FuzzEntries.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "MemoryFile.h"
#include "common/DecodedScripts.h"
#include "compile/BuildPhase.h"
#include "compile/ConvertScript.h"
#include "compile/DecompileSource.h"
#include "compile/ScriptCheck.h"
#include "xml/Decompile.h"
#include "map/HaloPcMap.h"
#include "names/DesignatedNames.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
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

namespace {

std::optional<std::string> BodyDifference(const std::string& owner, const std::vector<WalkedNode>& a,
                                          const std::vector<std::optional<std::string>>& aTexts, const std::vector<WalkedNode>& b,
                                          const std::vector<std::optional<std::string>>& bTexts) {
    if (a.size() != b.size()) return owner + ": " + std::to_string(a.size()) + " nodes against " + std::to_string(b.size());
    for (std::size_t k = 0; k < a.size(); ++k) {
        const StoredNode& x = a[k].node;
        const StoredNode& y = b[k].node;
        const bool call = scriptformat::IsCallKind(x.expType);
        const bool same = x.expType == y.expType && a[k].depth == b[k].depth && a[k].hasArguments == b[k].hasArguments &&
                          x.engine == y.engine && (call || (x.valueType == y.valueType && x.childOrValue == y.childOrValue)) &&
                          aTexts[k] == bTexts[k];
        if (!same) return owner + ", node " + std::to_string(k) + " (slot " + std::to_string(a[k].slot) + ")";
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> TreeDifference(const DecodedScriptData& a, const DecodedScriptData& b) {
    if (a.scripts.size() != b.scripts.size() || a.globals.size() != b.globals.size()) return "another number of scripts or globals";
    for (std::size_t i = 0; i < a.globals.size(); ++i) {
        const DecodedGlobal& x = a.globals[i];
        const DecodedGlobal& y = b.globals[i];
        if (x.name != y.name || x.walked.record.type != y.walked.record.type) return "global record " + std::to_string(i);
        if (auto d = BodyDifference("global " + x.name, x.walked.body, x.texts, y.walked.body, y.texts)) return d;
    }
    for (std::size_t i = 0; i < a.scripts.size(); ++i) {
        const DecodedScript& x = a.scripts[i];
        const DecodedScript& y = b.scripts[i];
        if (x.name != y.name || x.walked.record.type != y.walked.record.type || x.walked.record.returnType != y.walked.record.returnType) {
            return "script record " + std::to_string(i);
        }
        if (auto d = BodyDifference("script " + x.name, x.walked.body, x.texts, y.walked.body, y.texts)) return d;
    }
    return std::nullopt;
}

mapgen::MapOptions TinyMap(std::uint64_t seed, bool daehHeader) {
    return {.seed = seed, .daehHeader = daehHeader, .headSize = 0, .tagCount = 3, .slotCapacity = 32,
            .tagDataSize = 512, .scenarioTailSize = 64, .addressEvery = 4};
}

mapgen::MapOptions TinyNamedMap(std::uint64_t seed, bool daehHeader) {
    mapgen::MapOptions options = TinyMap(seed, daehHeader);
    options.names = true;
    options.tagCount = 17;
    options.tagDataSize = 4096;
    options.scenarioTailSize = 1024;
    return options;
}

Verdict RunLoadMapInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    return CheckLoad(file, Bytes(data, data + size), BaselineMap());
}

namespace {

constexpr engine::EngineBuild kCustom = engine::EngineBuild::Custom;
// The node slots of the map compile_xml and compile_hsc compile into.
constexpr std::int64_t kHostSlotCapacity = 600;

// Room for 600 node slots, the names scripts use (mapgen/SampleNames.h), about 25 KB.
const Bytes& HostMap() {
    static const Bytes host = mapgen::GenerateMap({.seed = 7, .headSize = 0, .tagCount = 17, .slotCapacity = kHostSlotCapacity,
                                                   .tagDataSize = 4096, .scenarioTailSize = 1024, .names = true});
    return host;
}

// The map's names as a decompile with them reads them. Texts a decompile renamed (values whose
// text names something else) are not the map's texts.
bool Renames(const CompiledScriptData& data, const NameResolver& names) {
    DecodedScriptData decoded = DecodeScriptData(data);
    return !DesignateNames(decoded, names).empty();
}

// Another compiler's scripts: a decompiled document builds the same trees up to layout as the
// map's, read with its names.
Verdict BuildGivesBackUpToLayout(const CompiledScriptData& data, const CompiledScriptData& built, const NameResolver& names) {
    DecodedScriptData map = DecodeScriptData(data);
    DesignateNames(map, names);
    const std::optional<std::string> difference = TreeDifference(map, DecodeScriptData(built));
    if (difference) return {Verdict::Kind::Violation, "the decompiled document builds other trees than the map holds: " + *difference};
    return {};
}

// A decompiled document, built in memory: the same texts (unless `renamed`), scripts and records as
// the map holds.
Verdict BuildGivesBack(const CompiledScriptData& data, const XmlDocument& parsed, bool renamed, const NameResolver& names) {
    const auto violation = [](const char* what) { return Verdict{Verdict::Kind::Violation, what}; };
    try {
        if (data.fresh) return {};
        ScriptCompilier state;
        const BuiltScripts built = BuildPhase(state, parsed);
        if (DecodeScriptData(data).layout == ScriptLayout::Other) return BuildGivesBackUpToLayout(data, BuiltScriptData(state, built), names);
        const std::size_t texts = data.strings.size() - scriptformat::kStringDataZeroBytes;
        if (!renamed && (static_cast<std::size_t>(built.stringBytes) != texts ||
                         std::memcmp(state.StrBlock.Data(), data.strings.data(), texts) != 0)) {
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

// The source a map decompiles into, when the language can write it, must check without an error
// and build back the map's texts and records.
Verdict SourceGivesBack(const CompiledScriptData& data, const NameResolver& names, bool renamed) {
    std::string source;
    try {
        source = DecompileToSource(data, kCustom, &names);
    } catch (const Error&) {
        return {};
    }
    CheckedScript checked = CheckScriptText(source, ScriptLanguage::Source, {});
    if (!checked.document) return {Verdict::Kind::Violation, "the decompiled source does not check:\n" + source};
    return BuildGivesBack(data, *checked.document, renamed, names);
}

// What a build leaves in memory, as bytes: the node slots, the texts and the records.
std::string BuiltBytes(const ScriptCompilier& state, const BuiltScripts& built) {
    std::string bytes(reinterpret_cast<const char*>(state.SyntaxBlock.Data()), state.SyntaxBlock.Size());
    bytes.append(reinterpret_cast<const char*>(state.StrBlock.Data()), static_cast<std::size_t>(built.stringBytes));
    for (const MemoryBlock& record : built.records) bytes.append(reinterpret_cast<const char*>(record.Data()), record.Size());
    return bytes;
}

std::string BuiltBytes(const XmlDocument& document) {
    ScriptCompilier state;
    const BuiltScripts built = BuildPhase(state, document);
    return BuiltBytes(state, built);
}

}  // namespace

Verdict RunDecompileInput(const std::uint8_t* bytes, std::size_t size) {
    static MemoryFile file;
    file.Assign(Bytes(bytes, bytes + size));
    CompiledScriptData data;
    std::string document;
    std::optional<MapNames> names;
    bool renamed = false;
    try {
        HaloPcMap map;
        map.LoadMap(file.Path());
        data = ReadScriptData(map);
        names.emplace(MapNames::Read(map));
        const NameResolver resolver(*names);
        document = Decompile(data, &resolver);
        renamed = Renames(data, resolver);
    } catch (const Error& e) {
        return {Verdict::Kind::Refused, e.what()};
    }
    Verdict verdict;
    try {
        verdict = BuildGivesBack(data, XmlDocument::LoadXml(document), renamed, NameResolver(*names));
    } catch (const Error& e) {
        return {Verdict::Kind::Violation, std::string("the decompiled document does not parse: ") + e.what()};
    }
    return verdict.Violated() ? verdict : SourceGivesBack(data, NameResolver(*names), renamed);
}

const std::vector<std::uint8_t>& OfficialNodesMap(std::int64_t* firstSlot, std::int64_t* slotBytes) {
    static mapgen::MapLayout layout;
    static const Bytes map = [] {
        mapgen::MapOptions options = TinyNamedMap(18, true);
        options.slotCapacity = 200;
        options.officialScripts = 3;
        return mapgen::GenerateMap(options, &layout);
    }();
    if (firstSlot) *firstSlot = layout.nodeDataOffset + scriptformat::kFirstSlot;
    if (slotBytes) *slotBytes = layout.nodeDataSize - scriptformat::kFirstSlot;
    return map;
}

Verdict RunOfficialNodesInput(const std::uint8_t* data, std::size_t size) {
    std::int64_t firstSlot = 0, slotBytes = 0;
    Bytes map = OfficialNodesMap(&firstSlot, &slotBytes);
    std::copy_n(data, std::min(size, static_cast<std::size_t>(slotBytes)), map.begin() + firstSlot);
    return RunDecompileInput(map.data(), map.size());
}

Verdict RunCompileXmlInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    return CheckCompile(file, HostMap(), std::string_view(reinterpret_cast<const char*>(data), size));
}

const NameResolver& HostNames() {
    static MemoryFile file;
    static const MapNames names = [] {
        file.Assign(HostMap());
        HaloPcMap map;
        map.LoadMap(file.Path());
        return MapNames::Read(map);
    }();
    static const NameResolver resolver(names);
    return resolver;
}

Verdict RunCompileHscInput(const std::uint8_t* data, std::size_t size) {
    using Kind = Verdict::Kind;
    static MemoryFile file;
    CheckOptions options;
    options.slotCapacity = kHostSlotCapacity;
    options.names = &HostNames();
    // Zero bytes, which no source holds, separate the files of one program.
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<hsc::SourceFile> files;
    for (std::size_t start = 0, end = 0; end != std::string_view::npos; start = end + 1) {
        end = input.find('\0', start);
        files.push_back({std::to_string(files.size() + 1) + ".hsc", input.substr(start, end == std::string_view::npos ? end : end - start)});
    }
    if (files.size() == 1) files.front().name.clear();
    const CheckedScript checked = CheckSources(files, options);
    if (!checked.document) {
        for (const Diagnostic& d : checked.diagnostics) {
            if (d.severity == Diagnostic::Severity::Error) return {Kind::Refused, d.message};
        }
        return {Kind::Violation, "the check gives no document and no error"};
    }
    const Verdict compiled = CheckCompile(file, HostMap(), *checked.document);
    if (compiled.kind != Kind::Accepted) return {Kind::Violation, "the check finds no error, but the compile: " + compiled.message};
    // The write phase is the same for all three: the same build gives the same map.
    try {
        ScriptCompilier state;
        const BuiltScripts built = BuildPhase(state, *checked.document);
        const std::string bytes = BuiltBytes(state, built);
        // A Windows-1252 source's texts are single bytes, which XML (UTF-8) cannot carry.
        if (!checked.windows1252) {
            const XmlDocument xml = XmlDocument::LoadXml(ConvertToXml(*checked.document, kCustom));
            if (BuiltBytes(xml) != bytes) return {Kind::Violation, "the XML conversion builds otherwise"};
        }
        const CheckedScript again = CheckScriptText(DecompileToSource(BuiltScriptData(state, built), kCustom), ScriptLanguage::Source, options);
        if (!again.document) return {Kind::Violation, "the decompiled source does not check"};
        if (BuiltBytes(*again.document) != bytes) return {Kind::Violation, "the decompiled source builds otherwise"};
    } catch (const Error& e) {
        return {Kind::Violation, std::string("a program that checks does not go round: ") + e.what()};
    }
    return {};
}

Verdict RunCompileMapInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    static const XmlDocument script = XmlDocument::LoadXml(kFixedScript);
    return CheckCompile(file, Bytes(data, data + size), script);
}

}  // namespace xsc::robust

#include "engine/MapEngine.h"

#include <algorithm>

#include "map/MapFormat.h"
#include "runtime/BinaryStream.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

namespace xsc::engine {
namespace {

std::optional<std::uint32_t> Field32(std::string_view header, std::int64_t offset) {
    if (static_cast<std::int64_t>(header.size()) < offset + 4) return std::nullopt;
    return DecodeFixed32(reinterpret_cast<const std::uint8_t*>(header.data() + offset));
}

}  // namespace

MapEngine DetectMapEngine(std::string_view header) {
    MapEngine engine;
    const bool daeh = EqualsIgnoringCase(header.substr(0, mapformat::kHeaderCode.size()), mapformat::kHeaderCode);
    if (daeh) {
        engine.field = kDaehEngineField;
        engine.value = Field32(header, kDaehEngineField);
        if (engine.value == kRetailEngineValue) engine.build = EngineBuild::Retail;
        if (engine.value == kCustomEngineValue) engine.build = EngineBuild::Custom;
        return engine;
    }
    engine.field = kDemoEngineField;
    engine.demoHeaderCode = static_cast<std::int64_t>(header.size()) >= kDemoHeaderCodeField + 4 &&
                            header.substr(kDemoHeaderCodeField, kDemoHeaderCode.size()) == kDemoHeaderCode;
    engine.value = Field32(header, kDemoEngineField);
    if (engine.demoHeaderCode && engine.value == kDemoEngineValue) engine.build = EngineBuild::Demo;
    return engine;
}

MapEngine ReadMapEngine(const std::filesystem::path& map) {
    BinaryStream in = BinaryStream::OpenAsBinaryFile(map, BinaryStream::Mode::ReadOnly);
    return ReadMapEngine(in);
}

MapEngine ReadMapEngine(BinaryStream& in) {
    in.SetPosition(0);
    return DetectMapEngine(in.Read(static_cast<std::size_t>(std::min(in.Length(), kMapEngineHeaderBytes))));
}

std::string DescribeMapEngine(const MapEngine& engine) {
    const std::string name = engine.build ? std::string(BuildName(*engine.build)) : "unknown";
    if (engine.field == kDemoEngineField && !engine.demoHeaderCode) {
        return name + " (no \"" + std::string(kDemoHeaderCode) + "\" at " + Hex(kDemoHeaderCodeField) + ")";
    }
    if (!engine.value) return name + " (the file ends before the engine field at " + Hex(engine.field) + ")";
    return name + " (engine value " + std::to_string(*engine.value) + " at " + Hex(engine.field) + ")";
}

std::string KnownMapEngines() {
    return std::to_string(kRetailEngineValue) + " retail or " + std::to_string(kCustomEngineValue) + " custom at " +
           Hex(kDaehEngineField) + " of a \"daeh\" header, " + std::to_string(kDemoEngineValue) + " demo at " +
           Hex(kDemoEngineField) + " of a header with \"" + std::string(kDemoHeaderCode) + "\" at " +
           Hex(kDemoHeaderCodeField);
}

}  // namespace xsc::engine

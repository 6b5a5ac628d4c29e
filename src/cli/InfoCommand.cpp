#include "InfoCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <iomanip>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "MapOpening.h"
#include "engine/MapEngine.h"
#include "map/HaloPcMap.h"
#include "map/MapFormat.h"
#include "runtime/Error.h"
#include "scriptdata/ScenarioScriptFields.h"

namespace xsc::cli {
namespace {

// Map bytes shown as text: invalid UTF-8 becomes U+FFFD.
QString Text(const std::string& bytes) { return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())); }
std::string Printable(const std::string& bytes) { return Text(bytes).toStdString(); }

const std::string kUnusedClass(4, '\xFF');

// A class code for JSON: null for the unused code FF FF FF FF.
QJsonValue ClassJson(const std::string& code) { return code == kUnusedClass ? QJsonValue() : QJsonValue(Text(code)); }

// A class code for the table: "-" for the unused code FF FF FF FF, "?" for other bytes that are
// not printable ASCII, so the columns stay aligned.
std::string ClassCode(const std::string& code) {
    if (code == kUnusedClass) return "-   ";
    std::string shown;
    for (char c : code) shown.push_back(c >= 0x20 && c < 0x7F ? c : '?');
    return shown;
}

std::string IdentHex(std::int32_t ident) {
    std::ostringstream s;
    s << "0x" << std::hex << std::setw(8) << std::setfill('0') << static_cast<std::uint32_t>(ident);
    return s.str();
}

// The header's two size fields, each with what the file says: the file size is the file's length,
// and the tag data runs from the index offset to the end of the file.
struct SizeField {
    const char* label;
    const char* key;
    std::int64_t field;
    std::int64_t value;
    std::int64_t actual;  // what the file gives
};

std::vector<SizeField> SizeFields(const HaloPcMap& map) {
    return {{"file size field", "fileSizeField", map.FileSizeField(), map.HeaderFileSize, map.LoadedLength},
            {"tag data size field", "tagDataSizeField", map.TagDataSizeField(), map.HeaderTagDataSize,
             map.LoadedLength - map.indexOffset}};
}

std::string SizeFieldText(const SizeField& f) {
    const std::string at = std::to_string(f.value) + " (at " + Hex(f.field) + "): ";
    if (f.value == f.actual) return at + "agrees with the file";
    return at + "the file says " + std::to_string(f.actual);
}

QJsonObject SizeFieldJson(const SizeField& f) {
    return {{"offset", static_cast<double>(f.field)}, {"value", static_cast<double>(f.value)},
            {"file", static_cast<double>(f.actual)}, {"agrees", f.value == f.actual}};
}

QJsonObject ScenarioJson(const ScenarioScriptFields& s) {
    QJsonObject o;
    o["offset"] = static_cast<double>(s.scenarioOffset);
    o["nodeDataSize"] = s.nodeDataSize;
    o["nodeDataOffset"] = s.nodeDataOffset;
    o["slotCapacity"] = static_cast<double>(s.slotCapacity);
    o["slotCountField"] = s.slotCountField;
    o["stringDataSize"] = s.stringDataSize;
    o["stringDataOffset"] = s.stringDataOffset;
    o["scriptCount"] = s.scriptCount;
    o["scriptRecordsOffset"] = s.scriptRecordsOffset;
    return o;
}

QJsonObject EngineJson(const engine::MapEngine& mapEngine) {
    QJsonObject o;
    const std::string_view build = mapEngine.build ? engine::BuildName(*mapEngine.build) : "unknown";
    o["build"] = QString::fromUtf8(build.data(), static_cast<qsizetype>(build.size()));
    o["field"] = static_cast<double>(mapEngine.field);
    o["value"] = mapEngine.value ? QJsonValue(static_cast<double>(*mapEngine.value)) : QJsonValue();
    return o;
}

void PrintJson(const HaloPcMap& map, const engine::MapEngine& mapEngine, const std::optional<ScenarioScriptFields>& fields,
               const std::string& fieldsError, std::ostream& out) {
    QJsonObject o;
    o["header"] = map.HasDaehHeader() ? "daeh" : "alternate";
    o["engine"] = EngineJson(mapEngine);
    o["fileLength"] = static_cast<double>(map.LoadedLength);
    for (const SizeField& f : SizeFields(map)) o[f.key] = SizeFieldJson(f);
    o["indexOffset"] = map.indexOffset;
    o["mapMagic"] = map.MapMagic;
    o["magic"] = map.Magic;
    o["tagOffset"] = map.tagOffset;
    o["tagCount"] = map.TagCount;
    QJsonArray tags;
    for (const auto& tag : map.TagCache) {
        QJsonObject t;
        t["class1"] = ClassJson(tag->Class1);
        t["class2"] = ClassJson(tag->Class2);
        t["class3"] = ClassJson(tag->Class3);
        t["ident"] = static_cast<double>(static_cast<std::uint32_t>(tag->ident));
        t["name"] = Text(tag->Name);
        t["nameOffset"] = tag->NameOffset;
        t["offset"] = map.HasDataInFile(*tag) ? QJsonValue(tag->Offset) : QJsonValue();
        tags.append(t);
    }
    o["tags"] = tags;
    if (fields) {
        QJsonObject scenario = ScenarioJson(*fields);
        scenario["name"] = Text(map.Scenario->Name);
        o["scenario"] = scenario;
    } else {
        o["scenario"] = QJsonObject{{"offset", map.Scenario->Offset}, {"name", Text(map.Scenario->Name)},
                                    {"error", QString::fromStdString(fieldsError)}};
    }
    out << QJsonDocument(o).toJson(QJsonDocument::Indented).toStdString();
}

void PrintTagTable(const HaloPcMap& map, std::ostream& out) {
    std::vector<std::string> classes;
    std::size_t classWidth = 7;
    for (const auto& tag : map.TagCache) {
        classes.push_back(ClassCode(tag->Class1) + " " + ClassCode(tag->Class2) + " " + ClassCode(tag->Class3));
        classWidth = std::max(classWidth, static_cast<std::size_t>(Text(classes.back()).size()));
    }
    out << std::left << std::setw(6) << "#" << std::setw(static_cast<int>(classWidth) + 2) << "classes"
        << std::setw(12) << "ident" << std::setw(12) << "offset" << "name\n";
    for (std::size_t i = 0; i < map.TagCache.size(); ++i) {
        const Tag& tag = *map.TagCache[i];
        const int pad = static_cast<int>(classWidth) + 2 - static_cast<int>(Text(classes[i]).size());
        out << std::left << std::setw(6) << i << classes[i] << std::string(static_cast<std::size_t>(pad), ' ')
            << std::setw(12) << IdentHex(tag.ident) << std::setw(12) << (map.HasDataInFile(tag) ? Hex(tag.Offset) : "-")
            << Printable(tag.Name)
            << "\n";
    }
}

void PrintText(const HaloPcMap& map, const engine::MapEngine& mapEngine, const std::optional<ScenarioScriptFields>& fields,
               const std::string& fieldsError, std::ostream& out) {
    auto row = [&out](const char* label, const std::string& value) {
        out << "  " << std::left << std::setw(22) << label << value << "\n";
    };
    out << "map\n";
    row("header", map.HasDaehHeader() ? "daeh" : "alternate (index offset at " + Hex(mapformat::kAlternateIndexOffsetField) + ")");
    row("engine", engine::DescribeMapEngine(mapEngine));
    row("file length", std::to_string(map.LoadedLength));
    for (const SizeField& f : SizeFields(map)) row(f.label, SizeFieldText(f));
    row("index offset", Hex(map.indexOffset));
    row("MapMagic", Hex(static_cast<std::uint32_t>(map.MapMagic)));
    row("Magic", Hex(map.Magic) + " (" + std::to_string(map.Magic) + ")");
    row("tag entries at", Hex(map.tagOffset));
    row("tag count", std::to_string(map.TagCount));
    out << "scenario \"" << Printable(map.Scenario->Name) << "\" (data at " << Hex(map.Scenario->Offset) << ")\n";
    if (!fields) {
        row("script fields", "unreadable: " + fieldsError);
    } else {
        const ScenarioScriptFields& s = *fields;
        row("node data", std::to_string(s.nodeDataSize) + " bytes at " + Hex(s.nodeDataOffset));
        row("slot capacity", std::to_string(s.slotCapacity));
        row("slot count field", std::to_string(s.slotCountField));
        row("string data", std::to_string(s.stringDataSize) + " bytes at " + Hex(s.stringDataOffset));
        row("script count", std::to_string(s.scriptCount));
        row("script records at", Hex(s.scriptRecordsOffset));
    }
    out << "tags\n";
    PrintTagTable(map, out);
}

}  // namespace

void RunInfo(const std::filesystem::path& path, bool json, std::ostream& out, std::ostream& err) {
    OpenedMap opened = OpenMapForCommand(path, MapFile::Access::Read, err);
    const HaloPcMap& map = opened.map;
    const engine::MapEngine mapEngine = engine::ReadMapEngine(opened.Stream());
    std::optional<ScenarioScriptFields> fields;
    std::string fieldsError;
    try {
        fields = ReadScenarioScriptFields(map, opened.Stream());
    } catch (const Error& e) {
        fieldsError = e.what();  // the tag list is still worth showing
    }
    if (json) {
        PrintJson(map, mapEngine, fields, fieldsError, out);
    } else {
        PrintText(map, mapEngine, fields, fieldsError, out);
    }
}

}  // namespace xsc::cli

#include "support/SampleNames.h"

#include <algorithm>

#include "engine/NameTables.h"
#include "mapgen/SampleNames.h"

namespace xsc::test {
namespace {

using engine::Storage;

void Add(std::vector<std::string>& out, const std::vector<std::string_view>& names) { out.insert(out.end(), names.begin(), names.end()); }

void AddBlock(std::vector<std::string>& out, std::string_view block) {
    const mapgen::SampleNames& sample = mapgen::TheSampleNames();
    for (const auto* blocks : {&sample.scenarioBlocks, &sample.behindStrings}) {
        for (const mapgen::SampleBlock& b : *blocks) {
            if (b.block == block) Add(out, b.names);
        }
    }
    if (block == "hud_message_text_messages") Add(out, sample.hudMessages);
    if (block == "hud_globals_waypoint_arrows") Add(out, sample.navpoints);
}

// Object names under which something of a fitting type is placed (any object for object_list).
void AddObjects(std::vector<std::string>& out, const engine::NameTables& tables, std::int32_t type, bool anyObject) {
    const mapgen::SampleNames& sample = mapgen::TheSampleNames();
    const std::vector<std::string_view>& names = sample.scenarioBlocks.front().names;
    for (const mapgen::SamplePlacement& p : sample.placements) {
        for (const engine::SpawnBlockLayout& spawn : tables.SpawnBlocks()) {
            const bool fits = anyObject || std::find(spawn.valueTypes.begin(), spawn.valueTypes.end(), type) != spawn.valueTypes.end();
            if (spawn.block == p.block && fits) out.emplace_back(names[static_cast<std::size_t>(p.objectName)]);
        }
    }
}

void AddAi(std::vector<std::string>& out) {
    for (const mapgen::SampleEncounter& e : mapgen::TheSampleNames().encounters) {
        out.emplace_back(e.name);
        for (const auto* members : {&e.squads, &e.platoons}) {
            for (const std::string_view m : *members) out.push_back(std::string(e.name) + "/" + std::string(m));
        }
    }
}

void AddTags(std::vector<std::string>& out, const engine::TagTypeClasses& type) {
    for (const mapgen::TagKind& tag : mapgen::TheSampleNames().tags) {
        const bool fits = tag.class1 == type.tagClass || tag.class2 == type.tagClass || tag.class3 == type.tagClass;
        if (fits) out.emplace_back(tag.namePattern);
    }
}

}  // namespace

std::vector<std::string> SampleNamesOf(std::int32_t valueType) {
    const engine::NameTables& tables = engine::NameTables::BuiltIn();
    const engine::ValueEncoding* encoding = tables.Encoding(valueType);
    std::vector<std::string> out;
    if (encoding == nullptr || encoding->name == "script") return out;
    switch (encoding->storage) {
        case Storage::BlockIndex: {
            const std::string block = tables.BlockOfType(valueType)->block;
            if (block == "object_names") {
                AddObjects(out, tables, valueType, encoding->name == "object_list");
            } else {
                AddBlock(out, block);
            }
            break;
        }
        case Storage::AiIndex32: AddAi(out); break;
        case Storage::TagId: AddTags(out, *tables.TagType(valueType)); break;
        case Storage::EnumIndex:
            for (const engine::EnumWord* w : tables.Words(valueType)) out.push_back(w->word);
            break;
        default: return out;
    }
    if (encoding->none) out.emplace_back("none");
    return out;
}

}  // namespace xsc::test

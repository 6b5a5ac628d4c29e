#include "NamesCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "MapOpening.h"
#include "engine/NameTables.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "names/NamesFormat.h"
#include "runtime/Error.h"

namespace xsc::cli {
namespace {

namespace nf = namesformat;

constexpr std::string_view kTags = "tags";

// The kind a block is shown as: its table name, shortened where the table's is long.
std::string KindOf(const std::string& block) {
    if (block == nf::kObjectNames) return "objects";
    if (block == "player_starting_profiles") return "starting_profiles";
    if (block == "ai_conversations") return "conversations";
    if (block == nf::kHudMessages) return "hud_messages";
    if (block == nf::kWaypointArrows) return "navpoints";
    return block;
}

QString Text(const std::string& bytes) { return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())); }

std::string IdentHex(std::uint32_t ident) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", ident);
    return text;
}

// "controls 2 (device_control)" for each placement, or "not placed".
std::string PlacedText(const std::vector<Placement>& placed) {
    if (placed.empty()) return "not placed";
    std::string text;
    for (const Placement& p : placed) {
        text += (text.empty() ? "" : ", ") + p.objectType + " (" + p.block + " " + std::to_string(p.index) + ")";
    }
    return text;
}

std::string MemberList(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) text += (i ? ", " : "") + std::to_string(i) + " " + names[i];
    return text.empty() ? "none" : text;
}

class NamesReport {
public:
    NamesReport(const MapNames& names, const std::string& kind) : names_(names), kind_(kind) {}

    bool Wanted(const std::string& kind) const { return kind_.empty() || kind_ == kind; }

    int PrintText(std::ostream& out) const {
        int status = 0;
        for (const NamedBlock& block : names_.Blocks()) {
            const std::string kind = KindOf(block.block);
            if (!Wanted(kind)) continue;
            if (!block.Readable()) {
                out << kind << ": cannot be read: " << block.error << "\n";
                status = 1;
                continue;
            }
            if (block.absent) {
                out << kind << ": none (" << block.where << ")\n";
                continue;
            }
            out << kind << ": " << block.names.size() << " in " << block.where << "\n";
            // Columns: the index, then the name, padded to the longest where something follows.
            const std::size_t indexWidth = std::to_string(block.names.empty() ? 0 : block.names.size() - 1).size();
            std::size_t nameWidth = 0;
            for (const std::string& n : block.names) nameWidth = std::max(nameWidth, n.size());
            for (std::size_t i = 0; i < block.names.size(); ++i) {
                const std::string index = std::to_string(i);
                out << "  " << std::string(indexWidth - index.size(), ' ') << index << "  " << block.names[i];
                if (block.block == nf::kObjectNames) {
                    out << std::string(nameWidth - block.names[i].size() + 2, ' ') << PlacedText(names_.Placements()[i]);
                }
                out << "\n";
                if (block.block == nf::kEncounters) {
                    out << "       squads: " << MemberList(names_.Encounters()[i].squads) << "\n";
                    out << "       platoons: " << MemberList(names_.Encounters()[i].platoons) << "\n";
                }
            }
        }
        if (Wanted(std::string(kTags))) {
            for (const engine::TagTypeClasses& type : engine::NameTables::BuiltIn().TagTypes()) {
                const std::vector<const MapTagEntry*> tags = TagsOf(type);
                out << "tags of type " << type.name << " (" << type.tagClass << "): " << tags.size() << "\n";
                for (const MapTagEntry* t : tags) out << "  " << IdentHex(t->ident) << "  " << t->classes[0] << "  " << t->path << "\n";
            }
        }
        return status;
    }

    int PrintJson(std::ostream& out) const {
        int status = 0;
        QJsonObject root;
        for (const NamedBlock& block : names_.Blocks()) {
            const std::string kind = KindOf(block.block);
            if (!Wanted(kind)) continue;
            QJsonObject o;
            o["where"] = Text(block.where);
            if (!block.Readable()) {
                o["error"] = Text(block.error);
                status = 1;
            } else if (block.absent) {
                o["absent"] = true;
            } else {
                o["names"] = BlockNames(block);
            }
            root[Text(kind)] = o;
        }
        if (Wanted(std::string(kTags))) {
            QJsonObject tags;
            for (const engine::TagTypeClasses& type : engine::NameTables::BuiltIn().TagTypes()) {
                QJsonArray list;
                for (const MapTagEntry* t : TagsOf(type)) {
                    list.append(QJsonObject{{"index", t->index},
                                            {"ident", static_cast<qint64>(t->ident)},
                                            {"class", Text(t->classes[0])},
                                            {"path", Text(t->path)}});
                }
                tags[Text(type.name)] = list;
            }
            root[Text(std::string(kTags))] = tags;
        }
        out << QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
        return status;
    }

private:
    std::vector<const MapTagEntry*> TagsOf(const engine::TagTypeClasses& type) const {
        std::vector<const MapTagEntry*> found;
        for (const MapTagEntry& t : names_.Tags()) {
            if (TagFits(t, type)) found.push_back(&t);
        }
        return found;
    }

    QJsonArray BlockNames(const NamedBlock& block) const {
        QJsonArray list;
        for (std::size_t i = 0; i < block.names.size(); ++i) {
            QJsonObject item{{"index", static_cast<qint64>(i)}, {"name", Text(block.names[i])}};
            if (block.block == nf::kObjectNames) {
                QJsonArray placed;
                for (const Placement& p : names_.Placements()[i]) {
                    placed.append(QJsonObject{{"block", Text(p.block)}, {"index", p.index}, {"type", Text(p.objectType)}});
                }
                item["placements"] = placed;
            }
            if (block.block == nf::kEncounters) {
                QJsonArray squads, platoons;
                for (const std::string& s : names_.Encounters()[i].squads) squads.append(Text(s));
                for (const std::string& p : names_.Encounters()[i].platoons) platoons.append(Text(p));
                item["squads"] = squads;
                item["platoons"] = platoons;
            }
            list.append(item);
        }
        return list;
    }

    const MapNames& names_;
    const std::string& kind_;
};

}  // namespace

std::vector<std::string> NameKinds() {
    std::vector<std::string> kinds;
    for (const engine::NamedBlockLayout* b : engine::NameTables::BuiltIn().NamedScenarioBlocks()) kinds.push_back(KindOf(b->block));
    kinds.push_back(KindOf(std::string(nf::kHudMessages)));
    kinds.push_back(KindOf(std::string(nf::kWaypointArrows)));
    kinds.emplace_back(kTags);
    return kinds;
}

int RunNames(const std::filesystem::path& map, const std::string& kind, bool json, std::ostream& out, std::ostream& err) {
    OpenedMap opened = OpenMapForCommand(map, MapFile::Access::Read, err);
    const MapNames names = MapNames::Read(opened.map, opened.Stream());
    const NamesReport report(names, kind);
    return json ? report.PrintJson(out) : report.PrintText(out);
}

}  // namespace xsc::cli

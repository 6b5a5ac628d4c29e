// The workspace's map: its build and the checks of a compile into it come into the diagnostics,
// it is let go after each look-up (a compile can take it at once), and a map that a compile holds
// is said so while the script is still checked without it. Maps from the generator, seed 30.

#include <gtest/gtest.h>

#include <QJsonArray>

#include "lsp/Server.h"
#include "mapgen/MapGenerator.h"
#include "runtime/FileLock.h"
#include "support/CompileFixture.h"
#include "support/TestFiles.h"

namespace xsc::lsp {
namespace {

// sv_say exists in the custom build only: its diagnostic tells which build the check took.
const char kScript[] = "(script startup intro\n  (sv_say \"hello\"))\n";

struct MapSession {
    test::TempDir folder;
    std::filesystem::path map = folder / "level.map";
    std::vector<QJsonObject> published;
    Server server{[this](const QJsonObject& m) {
        if (m.value("method") == "textDocument/publishDiagnostics") published.push_back(m.value("params").toObject());
    }};

    explicit MapSession(std::uint32_t engineValue, std::int32_t slots = 200) {
        mapgen::MapOptions options = test::SmallMap(30);
        options.engineValue = engineValue;
        options.slotCapacity = slots;
        mapgen::WriteMap(map, options);
        const QJsonObject params{{"rootUri", UriOfPath(folder.Path())},
                                 {"capabilities", QJsonObject{}},
                                 {"initializationOptions", QJsonObject{{"map", "level.map"}}}};
        server.Handle({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", params}});
    }
    // The messages of the diagnostics published for the script, "line:character severity message".
    std::vector<std::string> Check(const std::string& text) {
        const QJsonObject document{{"uri", UriOfPath(folder / "intro.hsc")}, {"version", 1}, {"text", QString::fromStdString(text)}};
        server.Handle({{"jsonrpc", "2.0"}, {"method", "textDocument/didOpen"}, {"params", QJsonObject{{"textDocument", document}}}});
        published.clear();
        server.PublishPending();
        std::vector<std::string> found;
        for (const QJsonValue& d : published.at(0).value("diagnostics").toArray()) {
            const QJsonObject start = d.toObject().value("range").toObject().value("start").toObject();
            found.push_back(std::to_string(start.value("line").toInt()) + ":" + std::to_string(start.value("character").toInt()) + " " +
                            std::to_string(d.toObject().value("severity").toInt()) + " " +
                            d.toObject().value("message").toString().toStdString());
        }
        return found;
    }
};

TEST(MapLookup, TheMapsBuildIsCheckedAgainstAndTheMapIsLetGo) {
    MapSession retail(7);
    EXPECT_EQ(retail.Check(kScript),
              std::vector<std::string>{"1:3 1 \"sv_say\" exists only in the custom build; the retail build has no such function"});
    // Nothing holds the map after the look-up: a compile in place can lock it at once.
    EXPECT_NO_THROW(FileLock::Take(retail.map, FileLock::Kind::Exclusive));

    MapSession custom(609);
    EXPECT_EQ(custom.Check(kScript), std::vector<std::string>{});
}

TEST(MapLookup, AMapBeingCompiledIsSaidAndTheScriptStillChecked) {
    MapSession session(7);
    const FileLock compile = FileLock::Take(session.map, FileLock::Kind::Exclusive);
    const std::vector<std::string> found = session.Check(kScript);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].substr(0, 16), "0:0 2 level.map:");
    EXPECT_NE(found[0].find("being compiled by another process; checked against the custom build without the map"), std::string::npos)
        << found[0];
}

TEST(MapLookup, WhatACompileIntoTheMapWouldRefuseIsReported) {
    MapSession small(609, 8);
    const std::vector<std::string> found = small.Check("(script startup intro\n  (sleep 30)\n  (sleep 30)\n  (sleep 30))\n");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].substr(0, 16), "0:0 1 level.map:");
}

}  // namespace
}  // namespace xsc::lsp

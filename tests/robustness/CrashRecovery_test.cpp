// A compile in place through a symbolic link, stopped after its k-th write, flush, cut or removal
// (the compile mark's and the unmark's among them), for every k, as a kill or a power loss would
// stop it. Opened under another name (a hard link, where no journal stands), the map is refused or
// whole; opened by its real name (RecoverFile), it holds either its old bytes or the complete
// compile's, never anything else, for a growing and a shrinking compile, also when the recovery
// itself is stopped part-way and run again. And the same write failing with an error: reported,
// and the map as it was.

#include <gtest/gtest.h>

#include <iostream>

#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/RollbackJournal.h"
#include "runtime/XmlDocument.h"
#include "support/CompileFixture.h"

namespace {

struct SimulatedCrash {};
int stopAt = 0;      // 0: never
int passed = 0;      // fault points passed since the last Arm
bool fail = false;   // at stopAt: a write that fails with an error, instead of a crash

void Arm(int k, bool failInstead = false) {
    stopAt = k;
    passed = 0;
    fail = failInstead;
}

}  // namespace

extern "C" void xsc_fault_point(const char* operation) {
    if (++passed != stopAt) return;
    if (!fail) throw SimulatedCrash{};
    // Only what the system can refuse: a write, a flush, growing or cutting the file.
    const std::string what = operation;
    if (what == "write" || what == "flush" || what == "reserve" || what == "set length") {
        throw xsc::Error::InMap("injected failure of a " + what);
    }
}

namespace xsc {
namespace {

const std::string kLong =
    "<s><a NameAttr='long' TypeAttr='2' ReTypeAttr='4'><ScriptCommand Command='print' EngineId='28' ValueType='4'>"
    "<ScriptValue ValueType='9' Value='a text long enough to move the tail a good way'/></ScriptCommand></a></s>";
const std::string kShort = "<s><a NameAttr='s'/></s>";

void Compile(const std::filesystem::path& path, const std::string& script) {
    HaloPcMap map;
    map.LoadMap(path);
    ScriptCompilier state;
    BuildScriptData(map, XmlDocument::LoadXml(script), state);
}

TEST(CrashRecovery, AfterEveryStopTheMapIsTheOldOrTheNewOne) {
    test::TempDir dir;
    const auto path = dir / "level.map";
    const auto link = dir / "link.map";
    const auto hardLink = dir / "other.map";
    // Compiled through a symbolic link where one can be made (Windows asks a privilege for it,
    // and wine makes none): elsewhere by the map's own name, saying so.
    std::error_code noLink;
    std::filesystem::create_symlink("level.map", link, noLink);
#ifndef _WIN32
    ASSERT_FALSE(noLink) << noLink.message();
#endif
    if (noLink) std::cerr << "no symbolic link can be made here (" << noLink.message() << "): compiling by the map's name\n";
    const auto compiled = noLink ? path : link;
    mapgen::MapOptions options = test::SmallMap(3);
    options.scenarioBlocks = true;
    // Growing: a fresh map gets the long script; shrinking: that map gets the short one.
    for (const auto& [first, second] : {std::pair<std::string, std::string>{"", kLong}, {kLong, kShort}}) {
        mapgen::WriteMap(path, options);
        std::filesystem::remove(hardLink);
        std::filesystem::create_hard_link(path, hardLink);
        if (!first.empty()) Compile(path, first);
        const test::Bytes before = test::ReadBytes(path);
        Arm(0);
        Compile(path, second);
        const int points = passed;
        const test::Bytes after = test::ReadBytes(path);
        ASSERT_NE(after.size(), before.size());
        ASSERT_GT(points, 5);

        for (int k = 1; k <= points; ++k) {
            SCOPED_TRACE("stopped at fault point " + std::to_string(k) + " of " + std::to_string(points));
            test::WriteBytes(path, before);
            Arm(k);
            EXPECT_THROW(Compile(compiled, second), SimulatedCrash);
            Arm(0);
            const test::Bytes stopped = test::ReadBytes(path);
            try {
                HaloPcMap other;
                other.LoadMap(hardLink);
                EXPECT_TRUE(stopped == before || stopped == after);
            } catch (const Error& e) {
                EXPECT_NE(std::string(e.what()).find("no journal that undoes it was found at " +
                                                     RollbackJournal::PathFor(hardLink).string()),
                          std::string::npos)
                    << e.what();
            }
            // Every other time, the recovery is stopped too, and the next opening finishes it.
            Arm(k % 2 == 0 ? 1 + k % 7 : 0);
            try {
                RecoverFile(path);
            } catch (const SimulatedCrash&) {
            }
            Arm(0);
            RecoverFile(path);
            const test::Bytes now = test::ReadBytes(path);
            EXPECT_TRUE(now == before || now == after);
            EXPECT_FALSE(std::filesystem::exists(RollbackJournal::PathFor(path)));

            // The same point failing with an error instead: the compile reports it, and undoes
            // what it wrote before it returns.
            test::WriteBytes(path, before);
            Arm(k, true);
            try {
                Compile(path, second);
                EXPECT_TRUE(test::ReadBytes(path) == after);
            } catch (const Error& e) {
                EXPECT_NE(std::string(e.what()).find("injected failure"), std::string::npos) << e.what();
                EXPECT_TRUE(test::ReadBytes(path) == before);
            }
            Arm(0);
            EXPECT_EQ(RecoverFile(path).outcome, Recovery::Outcome::None);
        }
    }
}

// A journal that does not verify, or that belongs to another map, is never applied.
TEST(CrashRecovery, AJournalThatDoesNotFitIsNotApplied) {
    test::TempDir dir;
    const auto path = dir / "level.map";
    mapgen::WriteMap(path, test::SmallMap(3));
    const test::Bytes before = test::ReadBytes(path);
    Arm(0);
    // A real journal of a stopped compile, kept aside.
    int points = 0;
    Compile(path, kLong);
    points = passed;
    test::WriteBytes(path, before);
    Arm(points - 2);  // after the journal is written, before it is removed
    EXPECT_THROW(Compile(path, kLong), SimulatedCrash);
    Arm(0);
    const auto journal = RollbackJournal::PathFor(path);
    const test::Bytes saved = test::ReadBytes(journal);
#ifndef _WIN32  // (Windows files have no permission bits: the folder's access list applies)
    // It holds the map's bytes: readable by its owner alone.
    EXPECT_EQ(std::filesystem::status(journal).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
#endif
    const test::Bytes stopped = test::ReadBytes(path);

    struct Case {
        const char* name;
        test::Bytes journal;
        test::Bytes map;
        Recovery::Outcome outcome;
    };
    test::Bytes flipped = saved;
    flipped[flipped.size() / 2] ^= 1;
    test::Bytes otherMap = stopped;
    otherMap[16] ^= 1;  // in the map header, which no compile writes
    const test::Bytes cut(saved.begin(), saved.end() - 1);
    const Case cases[] = {
        {"cut short, the map as it saved it", cut, before, Recovery::Outcome::Discarded},
        {"cut short before its ranges, the map changed", test::Bytes(saved.begin(), saved.begin() + 60), stopped,
         Recovery::Outcome::Discarded},
        {"one bit flipped", flipped, stopped, Recovery::Outcome::Foreign},
        {"another map", saved, otherMap, Recovery::Outcome::Foreign},
    };
    for (const Case& c : cases) {
        test::WriteBytes(journal, c.journal);
        test::WriteBytes(path, c.map);
        EXPECT_EQ(RecoverFile(path).outcome, c.outcome) << c.name;
        EXPECT_TRUE(test::ReadBytes(path) == c.map) << c.name;
    }
    // Cut short, but the map differs from what it did save: the map was changed, and the journal
    // cannot undo it. It is kept, and the map refused.
    for (const test::Bytes& changed : {stopped, test::Bytes(before.begin(), before.end() - 4)}) {
        test::WriteBytes(journal, cut);
        test::WriteBytes(path, changed);
        EXPECT_THROW(RecoverFile(path), Error);
        EXPECT_TRUE(test::ReadBytes(journal) == cut);
        EXPECT_TRUE(test::ReadBytes(path) == changed);
    }
    // A link planted at the journal's name is neither followed nor used by a compile.
    std::filesystem::remove(journal);
    std::error_code noLink;
    std::filesystem::create_symlink(dir / "elsewhere", journal, noLink);
#ifdef _WIN32
    // Links take a privilege on Windows, and wine makes none.
    if (noLink) GTEST_SKIP() << "the rest needs a symbolic link, which cannot be made here: " << noLink.message();
#endif
    ASSERT_FALSE(noLink) << noLink.message();
    EXPECT_EQ(RecoverFile(path).outcome, Recovery::Outcome::Foreign);
    EXPECT_THROW(Compile(path, kLong), Error);
    EXPECT_FALSE(std::filesystem::exists(dir / "elsewhere"));
}

}  // namespace
}  // namespace xsc

// File > Load map through the window: the chooser, a cancel, a failed load, a second map.

#include <algorithm>

#include <QAction>
#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "mapgen/MapGenerator.h"
#include "support/CompileFixture.h"
#include "support/TestFiles.h"

namespace xsc::test {
namespace {

// Tag names of a map as the loader keys them ("Class1:Name").
std::vector<std::string> Keys(const HaloPcMap& map) {
    std::vector<std::string> keys;
    for (const auto& [key, position] : map.TagByName) keys.push_back(key);
    std::sort(keys.begin(), keys.end());
    return keys;
}

TEST(LoadMap, LoadsTheChosenMapAndShowsNothing) {
    TempDir dir;
    const auto path = dir / "seed5.map";
    const mapgen::MapLayout layout = mapgen::WriteMap(path, SmallMap(5));
    auto driven = MakeWindow();
    LoadThroughMenu(driven, path);

    ASSERT_EQ(driven.chooser->filtersAsked, std::vector<std::string>{"Halo map (*.map)"});
    const HaloPcMap& map = driven->LoadedMap;
    EXPECT_EQ(map.f, path);
    EXPECT_EQ(map.TagCount, layout.tagCount);
    ASSERT_EQ(map.TagCache.size(), static_cast<std::size_t>(layout.tagCount));
    EXPECT_EQ(map.Scenario, map.TagCache[0]);
    EXPECT_EQ(map.indexOffset, layout.indexOffset);
    EXPECT_EQ(map.Magic, layout.magic);
    EXPECT_EQ(map.Scenario->Offset, layout.scenarioOffset);

    EXPECT_TRUE(driven.messages->shown.empty());
    EXPECT_EQ(driven->windowTitle(), QStringLiteral("Compiler"));
}

TEST(LoadMap, CancellingBeforeAnyLoadLeavesTheMapEmpty) {
    auto driven = MakeWindow();
    driven->MenuItem(QStringLiteral("FileLoadmap"))->trigger();  // the chooser cancels
    EXPECT_EQ(driven.chooser->filtersAsked.size(), 1u);
    EXPECT_FALSE(driven->LoadedMap.f.has_value());
    EXPECT_TRUE(driven->LoadedMap.TagCache.empty());
    EXPECT_EQ(driven->LoadedMap.Scenario, nullptr);
    EXPECT_TRUE(driven.messages->shown.empty());
}

TEST(LoadMap, CancellingAfterALoadForgetsTheFileButKeepsTheTags) {
    TempDir dir;
    const auto path = dir / "seed6.map";
    const mapgen::MapLayout layout = mapgen::WriteMap(path, SmallMap(6));
    auto driven = MakeWindow();
    LoadThroughMenu(driven, path);
    const auto scenario = driven->LoadedMap.Scenario;

    driven->MenuItem(QStringLiteral("FileLoadmap"))->trigger();  // cancelled
    const HaloPcMap& map = driven->LoadedMap;
    EXPECT_FALSE(map.f.has_value());
    EXPECT_EQ(map.TagCount, layout.tagCount);
    EXPECT_EQ(map.TagCache.size(), static_cast<std::size_t>(layout.tagCount));
    EXPECT_EQ(map.Scenario, scenario);
    EXPECT_EQ(map.Magic, layout.magic);
    EXPECT_TRUE(driven.messages->shown.empty());
}

TEST(LoadMap, AFailedLoadIsReportedAndKeepsThePreviousMap) {
    TempDir dir;
    const auto good = dir / "good.map";
    const mapgen::MapLayout layout = mapgen::WriteMap(good, SmallMap(8));
    const auto tiny = dir / "tiny.map";
    WriteBytes(tiny, Bytes{'d', 'a'});
    const auto missing = dir / "missing.map";

    auto driven = MakeWindow();
    LoadThroughMenu(driven, good);
    const auto keysBefore = Keys(driven->LoadedMap);

    for (const auto& bad : {tiny, missing}) {
        SCOPED_TRACE(bad.filename().string());
        driven.messages->shown.clear();
        LoadThroughMenu(driven, bad);
        ASSERT_EQ(driven.messages->shown.size(), 1u);
        const auto& shown = driven.messages->shown[0];
        EXPECT_TRUE(shown.error);
        EXPECT_TRUE(shown.text.contains(QString::fromStdString(bad.filename().string()))) << shown.text.toStdString();
        EXPECT_TRUE(shown.text.contains(QStringLiteral("\"good.map\" stays loaded"))) << shown.text.toStdString();

        const HaloPcMap& map = driven->LoadedMap;
        EXPECT_EQ(map.f, good);
        EXPECT_EQ(map.TagCount, layout.tagCount);
        EXPECT_EQ(map.Magic, layout.magic);
        EXPECT_EQ(Keys(map), keysBefore);
    }
    EXPECT_TRUE(driven->isVisible());
}

TEST(LoadMap, AFailedFirstLoadLeavesNoMap) {
    TempDir dir;
    const auto tiny = dir / "tiny.map";
    WriteBytes(tiny, Bytes{0});
    auto driven = MakeWindow();
    LoadThroughMenu(driven, tiny);
    ASSERT_EQ(driven.messages->shown.size(), 1u);
    EXPECT_TRUE(driven.messages->shown[0].error);
    EXPECT_FALSE(driven.messages->shown[0].text.contains(QStringLiteral("stays loaded")));
    EXPECT_FALSE(driven->LoadedMap.f.has_value());
    EXPECT_TRUE(driven->LoadedMap.TagCache.empty());
}

}  // namespace
}  // namespace xsc::test

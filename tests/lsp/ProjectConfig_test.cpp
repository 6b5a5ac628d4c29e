// Settings from the client or xsc.json: paths against the root, and every value the server cannot
// use refused with the key it is about (the server then says so and takes the defaults).

#include <gtest/gtest.h>

#include <QJsonDocument>

#include "lsp/ProjectConfig.h"
#include "runtime/Error.h"

namespace xsc::lsp {
namespace {

QJsonObject Json(const char* text) { return QJsonDocument::fromJson(text).object(); }

TEST(ProjectConfig, PathsAreTakenFromTheRootAndTheBuildByName) {
    const std::filesystem::path root = "/work/level";
    const ProjectConfig c = ReadProjectConfig(Json(R"({"map": "maps/../maps/a.map", "engine": "demo", "sources": ["s", "/abs/t.hsc"], "debounce": 0})"), root, "test");
    EXPECT_EQ(c.map, root / "maps/a.map");
    EXPECT_EQ(c.build, engine::EngineBuild::Demo);
    EXPECT_EQ(c.sources, (std::vector<std::filesystem::path>{root / "s", "/abs/t.hsc"}));
    EXPECT_EQ(c.debounceMilliseconds, 0);
    // Nothing given: the custom build comes later, from no engine and no map.
    const ProjectConfig none = ReadProjectConfig({}, root, "test");
    EXPECT_FALSE(none.map || none.build);
    EXPECT_EQ(none.debounceMilliseconds, kDefaultDebounceMilliseconds);
}

TEST(ProjectConfig, ValuesItCannotUseAreRefusedNamingTheirKey) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"engine": "xbox"})", "\"engine\" must be \"retail\", \"custom\" or \"demo\", not \"xbox\""},
        {R"({"map": 3})", "\"map\" must be a file name (a non-empty string)"},
        {R"({"map": ""})", "\"map\" must be a file name (a non-empty string)"},
        {R"({"sources": {"a": 1}})", "\"sources\" must be a list of files and folders"},
        {R"({"sources": ["ok", 5]})", "\"sources\" must be a file name (a non-empty string)"},
        {R"({"debounce": -1})", "\"debounce\" must be a number of milliseconds from 0 to 10000"},
    };
    for (const auto& [json, message] : cases) {
        try {
            ReadProjectConfig(Json(json), "/root", "test");
            ADD_FAILURE() << json << " was taken";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), message) << json;
        }
    }
}

}  // namespace
}  // namespace xsc::lsp

// Programs of the source language beyond one script in one file: several files as one program,
// scenario globals through a recompile, and a source in the Windows-1252 code page.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "compile/BuildScriptData.h"
#include "compile/DecompileSource.h"
#include "compile/ScriptCheck.h"
#include "map/HaloPcMap.h"
#include "scriptdata/ReadScriptData.h"
#include "support/CompileFixture.h"
#include "xml/Decompile.h"

namespace xsc {
namespace {

namespace fs = std::filesystem;

const fs::path kProgram = fs::path(__FILE__).parent_path() / "program";

std::vector<std::string> Texts(std::initializer_list<const char*> names) {
    std::vector<std::string> texts;
    for (const char* name : names) texts.push_back(test::ReadText(kProgram / name));
    return texts;
}

std::vector<hsc::SourceFile> Files(const std::vector<std::string>& texts, std::initializer_list<const char*> names) {
    std::vector<hsc::SourceFile> files;
    auto name = names.begin();
    for (const std::string& text : texts) files.push_back({*name++, text});
    return files;
}

std::string Rendered(const std::vector<Diagnostic>& diagnostics) {
    static const char* const kSeverity[] = {"note", "warning", "error"};
    std::string out;
    for (const Diagnostic& d : diagnostics) {
        out += d.file + ":" + std::to_string(d.line) + ":" + std::to_string(d.column) + ": " + kSeverity[static_cast<int>(d.severity)] +
               ": " + d.message + "\n";
    }
    return out;
}

// Every file's diagnostics name it; names declared in one file are known in the others; a name
// taken twice says where the first one is, in its file.
TEST(SourceProgram, SeveralFilesAreOneProgramAndEveryMessageNamesItsFile) {
    const auto names = {"1-shared.hsc", "2-level.hsc", "3-mistakes.hsc"};
    const std::vector<std::string> texts = Texts(names);
    const CheckedScript checked = CheckSources(Files(texts, names), {});
    EXPECT_FALSE(checked.document);
    test::ExpectGolden("hsc/program/check.expected", Rendered(checked.diagnostics));
}

// A finding about a name of the map's things names the file the name is in, not the first file.
TEST(SourceProgram, AMapNameFindingNamesItsFile) {
    const std::vector<std::string> texts = {"(script static void first\n  (sleep 1))\n",
                                            "(script startup second\n  (first)\n  (camera_set uicam 30))\n"};
    const CheckedScript checked = CheckSources(Files(texts, {"a.hsc", "b.hsc"}), {});
    EXPECT_EQ(Rendered(checked.diagnostics),
              "b.hsc:3:15: note: 1 name of the map's things not looked up: no map is given (check with --map MAP, or compile, to look them "
              "up); the first is here\n");
}

// The files of a program compile to the map their text would as one file.
TEST(SourceProgram, SeveralFilesCompileAsTheirTextInOneFile) {
    const auto names = {"1-shared.hsc", "2-level.hsc"};
    const std::vector<std::string> texts = Texts(names);
    const CheckedScript checked = CheckSources(Files(texts, names), {});
    ASSERT_TRUE(checked.document) << Rendered(checked.diagnostics);
    test::TempDir a, b;
    const std::string joined = texts[0] + texts[1];
    const test::Compiled whole = test::CompileInto(b, test::SmallMap(5), joined);
    mapgen::WriteMap(a / "level.map", test::SmallMap(5));
    HaloPcMap map;
    map.LoadMap(a / "level.map");
    ScriptCompilier state;
    BuildScriptData(map, *checked.document, state);
    EXPECT_TRUE(test::ReadBytes(a / "level.map") == whole.after);
}

// A map compiled with globals: its globals decompile first, the decompiled XML compiled into it
// leaves it as it is, a script without globals takes them away (the file then as a compile of
// that script into the fresh map makes it, but for the globals field), and they come back.
TEST(SourceProgram, AMapWithGlobalsRecompilesWithItsGlobalsIntact) {
    const std::string withGlobals = test::ReadText(kProgram / "1-shared.hsc") + test::ReadText(kProgram / "2-level.hsc");
    test::TempDir dir, fresh;
    const test::Compiled first = test::CompileInto(dir, test::SmallMap(9), withGlobals);
    const fs::path path = dir / "level.map";
    const auto recompile = [&](const std::string& script) {
        HaloPcMap map;
        map.LoadMap(path);
        ScriptCompilier state;
        BuildScriptData(map, test::ScriptDocument(script), state);
        return test::ReadBytes(path);
    };
    HaloPcMap loaded;
    loaded.LoadMap(path);
    const std::string xml = Decompile(ReadScriptData(loaded));
    EXPECT_LT(xml.find("<ScenarioGlobal Name=\"shared_count\""), xml.find("<script NameAttr"));
    EXPECT_TRUE(recompile(xml) == first.after);

    const std::string noGlobals = "(script startup main (sleep 1))";
    const test::Bytes without = recompile(noGlobals);
    const std::size_t x = static_cast<std::size_t>(first.layout.scenarioOffset);
    EXPECT_EQ(test::Get32(without, x + 0x4A8), 0u);
    EXPECT_EQ(without.size(), test::CompileInto(fresh, test::SmallMap(9), noGlobals).after.size());
    EXPECT_TRUE(recompile(withGlobals) == first.after);
}

// The game's own scripts are in Windows-1252: such a source is read byte for byte, its texts
// stored as the single bytes the game reads, and decompiled into source with the same bytes.
TEST(SourceProgram, AWindows1252SourceKeepsItsBytesThroughACompileAndBack) {
    const std::string source = "(script startup main (print \"don\x92t stop\x85\"))";
    test::TempDir a, b;
    const test::Compiled compiled = test::CompileInto(a, test::SmallMap(3), source);
    const std::string stored = "don\x92t stop\x85";
    const test::Bytes bytes(stored.begin(), stored.end());
    EXPECT_NE(std::search(compiled.after.begin(), compiled.after.end(), bytes.begin(), bytes.end()), compiled.after.end());
    HaloPcMap map;
    map.LoadMap(a / "level.map");
    const std::string decompiled = DecompileToSource(ReadScriptData(map), engine::EngineBuild::Custom);
    EXPECT_NE(decompiled.find("(print \"" + stored + "\")"), std::string::npos) << decompiled;
    EXPECT_NE(decompiled.find("Windows-1252"), std::string::npos);
    EXPECT_TRUE(test::CompileInto(b, test::SmallMap(3), decompiled).after == compiled.after);
}

// Names may hold the code page's letters too: the decompile gives them back byte for byte in
// source, and XML, which is UTF-8, refuses them naming the record.
TEST(SourceProgram, Windows1252NamesGoRoundAndXmlRefusesThem) {
    const std::string source = "(global short caf\xe9 3)\n(script static short d\x9bj\xe0 caf\xe9)\n(script startup main (d\x9bj\xe0))";
    test::TempDir a, b;
    const test::Compiled compiled = test::CompileInto(a, test::SmallMap(3), source);
    HaloPcMap map;
    map.LoadMap(a / "level.map");
    const CompiledScriptData data = ReadScriptData(map);
    const std::string decompiled = DecompileToSource(data, engine::EngineBuild::Custom);
    EXPECT_NE(decompiled.find("(script static short d\x9bj\xe0"), std::string::npos) << decompiled;
    EXPECT_NE(decompiled.find("Windows-1252"), std::string::npos);
    EXPECT_TRUE(test::CompileInto(b, test::SmallMap(3), decompiled).after == compiled.after);
    try {
        Decompile(data);
        ADD_FAILURE() << "XML took a name in Windows-1252";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("its name is not UTF-8"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace xsc

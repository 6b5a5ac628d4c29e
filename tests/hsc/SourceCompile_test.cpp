// The source language compiled: each convert/CASE.hsc converts to the XML of convert/CASE.xml
// (value types as places give them, literals as their types store them) and back; a source and
// its XML conversion compile to the same bytes, and decompiling the map into source gives a
// text that compiles to the same map again; for the examples, for random programs, and for the
// maps random XML documents compile to (or a refusal naming the script and slot). Golden files:
// hsc/convert/*.xml, hsc/decompile/*.expected (XSC_UPDATE_GOLDEN=1 rewrites them).

#include <gtest/gtest.h>

#include <filesystem>

#include "compile/ConvertScript.h"
#include "compile/DecompileSource.h"
#include "map/HaloPcMap.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/Error.h"
#include "support/CompileFixture.h"
#include "support/RandomScript.h"
#include "support/RandomSource.h"

namespace xsc {
namespace {

namespace fs = std::filesystem;

constexpr engine::EngineBuild kCustom = engine::EngineBuild::Custom;

const fs::path kTests = fs::path(__FILE__).parent_path();

// The generated sample map, of the custom build.
mapgen::MapOptions SampleMap() {
    mapgen::MapOptions options;
    options.engineValue = 609;
    options.names = true;
    options.tagCount = 24;
    return options;
}

std::string DecompiledSource(const fs::path& map) {
    HaloPcMap loaded;
    loaded.LoadMap(map);
    const MapNames names = MapNames::Read(loaded);
    const NameResolver resolver(names);
    return DecompileToSource(ReadScriptData(loaded), kCustom, &resolver);
}

// A source, its XML conversion, and the source that XML converts back to compile to the same
// map; decompiling that map gives a source that compiles to it again. Returns the decompiled text.
std::string ExpectSameMapEveryWay(const std::string& source, const mapgen::MapOptions& map) {
    const std::string xml = ConvertToXml(test::ScriptDocument(source), kCustom);
    EXPECT_EQ(ConvertToXml(test::ScriptDocument(ConvertToSource(XmlDocument::LoadXml(xml), kCustom)), kCustom), xml);
    test::TempDir a, b, c;
    const test::Compiled fromSource = test::CompileInto(a, map, source);
    EXPECT_TRUE(test::CompileInto(b, map, xml).after == fromSource.after) << xml;
    const std::string decompiled = DecompiledSource(a / "level.map");
    EXPECT_TRUE(test::CompileInto(c, map, decompiled).after == fromSource.after) << decompiled;
    return decompiled;
}

TEST(SourceCompile, EachCaseConvertsToItsExpectedXmlAndCompilesAsIt) {
    int cases = 0;
    for (const auto& entry : fs::directory_iterator(kTests / "convert")) {
        if (entry.path().extension() != ".hsc") continue;
        ++cases;
        const std::string source = test::ReadText(entry.path());
        test::ExpectGolden("hsc/convert/" + entry.path().stem().string() + ".xml", ConvertToXml(test::ScriptDocument(source), kCustom));
        ExpectSameMapEveryWay(source, test::NamedMap(2));
    }
    EXPECT_EQ(cases, 1);
}

TEST(SourceCompile, ExamplesCompileIntoTheSampleMapAsTheirXmlAndDecompileBack) {
    int examples = 0;
    for (const auto& entry : fs::directory_iterator(kTests.parent_path().parent_path() / "examples")) {
        if (entry.path().extension() != ".hsc") continue;
        ++examples;
        const std::string decompiled = ExpectSameMapEveryWay(test::ReadText(entry.path()), SampleMap());
        if (entry.path().stem() == "encounters") test::ExpectGolden("hsc/decompile/encounters.expected", decompiled);
    }
    EXPECT_EQ(examples, 5);
}

TEST(SourceCompile, RandomProgramsCompileAsTheirXmlAndDecompileBack) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        const std::string source = test::MakeRandomSource(rng);
        SCOPED_TRACE("seed " + std::to_string(seed) + ":\n" + source);
        try {
            ExpectSameMapEveryWay(source, test::NamedMap(seed));
        } catch (const Error& e) {
            ADD_FAILURE() << e.what();  // with the trace: the seed and its program
        }
    }
}

// Maps compiled from random XML: the source either compiles back to the same map or is refused
// with an error about the map that names the script.
TEST(SourceCompile, MapsOfRandomXmlDecompileToSourceOrNameWhatCannotBeWritten) {
    int written = 0, refused = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed + 2000);
        const test::RandomScript random = test::MakeRandomScript(rng);
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + random.xml);
        test::TempDir a, b;
        const test::Compiled m1 = test::CompileInto(a, test::NamedMap(seed), random.xml);
        std::string source;
        try {
            source = DecompiledSource(a / "level.map");
        } catch (const Error& e) {
            EXPECT_EQ(e.subject(), Error::Subject::Map);
            EXPECT_EQ(std::string(e.what()).rfind("script ", 0), 0u) << e.what();
            ++refused;
            continue;
        }
        EXPECT_TRUE(test::CompileInto(b, test::NamedMap(seed), source).after == m1.after) << source;
        ++written;
    }
    EXPECT_GT(written, 0);
    EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace xsc

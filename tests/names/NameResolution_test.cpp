// Values that name the map's things, compiled into a generated map with names (seed 27): every
// value type with the bytes its value field gets, and what the check says of names the map lacks,
// of a tag of another class, of a name two elements share and of an object name nothing fitting is
// placed under. Golden file: names/golden/resolution.expected (XSC_UPDATE_GOLDEN=1 rewrites it).

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <vector>

#include "common/DecodedScripts.h"
#include "compile/NameCheck.h"
#include "map/HaloPcMap.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/Error.h"
#include "scriptdata/ReadScriptData.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

struct Row {
    int type;
    const char* text;
};

// One value of every type that names something, with the forms each takes.
const Row kResolved[] = {
    {11, "tv_bridge"}, {11, "tv_twin"}, {11, "none"}, {12, "exit_flag"}, {13, "point_2"}, {13, "POINT_2"}, {14, "title_place"},
    {15, "truck_arrival"}, {16, "switch_group"}, {17, "enc_wave_2"}, {17, "enc_wave_1/right_flank"}, {17, "enc_wave_1/first_platoon"},
    {17, "enc_marines/escort"}, {17, "none"}, {18, "cl_retreat"}, {19, "heavy_profile"}, {20, "conv_greeting"}, {21, "flag_blue"},
    {22, "puzzle_solved"}, {23, "crate_1"}, {24, "sound\\sfx\\alarm"}, {24, "none"}, {25, "effects\\explosions\\large explosion"},
    {26, "weapons\\frag grenade\\explosion"}, {27, "sound\\sfx\\ambience\\wind"}, {28, "characters\\marine\\marine"},
    {29, "characters\\marine\\marine sergeant"}, {30, "weapons\\frag grenade\\explosion"}, {31, "characters\\marine\\marine"},
    {32, "impossible"}, {33, "covenant"}, {34, "alert"}, {35, "grunt"}, {36, "top_right"}, {37, "pistol_1"}, {38, "marine_sarge"},
    {39, "player_truck"}, {40, "pistol_1"}, {41, "puzzle_door"}, {42, "crate_1"}, {43, "lone_name"}, {44, "marine_sarge"},
    {45, "player_truck"}, {46, "pistol_1"}, {47, "switch_c"}, {48, "crate_1"}, {38, "crate_1"}, {37, "none"}, {9, "tv_bridge"},
    {7, "400"}};

// Names the map lacks, a tag of another class, a word no enum has.
const Row kRefused[] = {{13, "pont_2"},           {24, "weapons\\pistol\\pistol"}, {17, "enc_wave_1/nobody"}, {17, "enc_nowhere"},
                        {32, "insane"},           {31, "sound\\sfx\\alarm"},       {11, "tv_brige"},          {19, "none"},
                        {22, "obj_area_clearr"},  {28, "characters\\elite\\elite"}};

std::string Document(const Row* rows, std::size_t count) {
    std::string xml = "<scripts>\n<s NameAttr=\"names\" TypeAttr=\"0\" ReTypeAttr=\"4\">\n";
    for (std::size_t i = 0; i < count; ++i) {
        std::string text = rows[i].text;
        xml += "<ScriptValue ValueType=\"" + std::to_string(rows[i].type) + "\" Value=\"" + text + "\"/>\n";
    }
    return xml + "</s>\n</scripts>\n";
}

std::string Severity(Diagnostic::Severity s) {
    switch (s) {
        case Diagnostic::Severity::Error: return "error";
        case Diagnostic::Severity::Warning: return "warning";
        case Diagnostic::Severity::Note: return "note";
    }
    return {};
}

std::string Diagnostics(const std::vector<Diagnostic>& found) {
    std::string out;
    for (const Diagnostic& d : found) out += std::to_string(d.line) + ": " + Severity(d.severity) + ": " + d.message + "\n";
    return out;
}

std::string Bytes4(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X %02X %02X %02X", v & 0xFF, v >> 8 & 0xFF, v >> 16 & 0xFF, v >> 24);
    return text;
}

TEST(NameResolution, EveryTypeCompilesToTheValueTheGameReads) {
    test::TempDir dir;
    const std::string document = Document(kResolved, std::size(kResolved));
    const test::Compiled compiled = test::CompileInto(dir, test::NamedMap(27), document);
    HaloPcMap map;
    map.LoadMap(dir / "level.map");
    const MapNames names = MapNames::Read(map);
    const NameResolver resolver(names);

    std::ostringstream table;
    table << "line: type value -> the value field (bytes in file order) and the text the node stores\n";
    const std::vector<DecodedScript> scripts = DecodeScripts(ReadScriptData(map));
    const std::vector<WalkedNode>& body = scripts.at(0).walked.body;
    ASSERT_EQ(body.size(), std::size(kResolved));
    for (std::size_t i = 0; i < body.size(); ++i) {
        table << i + 3 << ": " << kResolved[i].type << " " << kResolved[i].text << " -> " << Bytes4(body[i].node.childOrValue) << "  \""
              << scripts[0].texts[i].value_or("(no text)") << "\"\n";
    }
    table << "\nthe check of these values against the map:\n"
          << Diagnostics(CheckNames(test::ScriptDocument(document), &resolver));
    table << "\nvalues the map cannot give:\n" << Diagnostics(CheckNames(test::ScriptDocument(Document(kRefused, std::size(kRefused))), &resolver));
    table << "\nwithout a map:\n" << Diagnostics(CheckNames(test::ScriptDocument(document), nullptr));
    test::ExpectGolden("names/golden/resolution.expected", table.str());
}

// The compile refuses the first name the map lacks, at its line and column, and writes nothing.
TEST(NameResolution, ANameTheMapLacksRefusesTheCompile) {
    test::TempDir dir;
    const auto path = dir / "level.map";
    mapgen::WriteMap(path, test::NamedMap(27));
    const test::Bytes before = test::ReadBytes(path);
    HaloPcMap map;
    map.LoadMap(path);
    ScriptCompilier state;
    const XmlDocument document = test::ScriptDocument("<scripts><s NameAttr=\"a\" TypeAttr=\"0\" ReTypeAttr=\"4\">\n"
                                                      "  <ScriptValue ValueType=\"11\" Value=\"tv_bridge\"/>\n"
                                                      "  <ScriptValue ValueType=\"13\" Value=\"pont_2\"/></s></scripts>");
    try {
        BuildScriptData(map, document, state);
        FAIL() << "the compile did not refuse";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "3:3: no cutscene camera point \"pont_2\" among the 5 of the scenario's cutscene camera points (scnr+0x4f0); "
                               "did you mean \"point_2\"?");
    }
    EXPECT_EQ(test::ReadBytes(path), before);
}

// The root's children are scripts whatever their element names: a script element named
// "ScriptValue" names nothing with its attributes, so the check finds no error where the compile
// accepts the script (a fuzz finding: the check refused what the compile wrote).
TEST(NameResolution, AScriptElementsOwnAttributesNameNothing) {
    test::TempDir dir;
    const auto path = dir / "level.map";
    mapgen::WriteMap(path, test::NamedMap(27));
    HaloPcMap map;
    map.LoadMap(path);
    const MapNames names = MapNames::Read(map);
    const NameResolver resolver(names);
    const XmlDocument document = test::ScriptDocument("<scripts><ScriptValue ValueType=\"13\" Value=\"pont_2\"/></scripts>");
    for (const Diagnostic& d : CheckNames(document, &resolver)) {
        EXPECT_NE(d.severity, Diagnostic::Severity::Error) << d.message;
    }
    ScriptCompilier state;
    EXPECT_NO_THROW(BuildScriptData(map, document, state));
}

// The texts and values of the source language meet the XML language's: the same bytes.
TEST(NameResolution, BothLanguagesResolveAlike) {
    test::TempDir a, b;
    const test::Compiled source = test::CompileInto(a, test::NamedMap(5), "(script startup s (camera_set point_2 400) (ai_place enc_marines/escort))");
    const test::Compiled xml = test::CompileInto(
        b, test::NamedMap(5),
        "<scripts><s NameAttr=\"s\" TypeAttr=\"0\" ReTypeAttr=\"4\">"
        "<ScriptCommand Command=\"camera_set\" EngineId=\"247\" ValueType=\"4\"><ScriptValue ValueType=\"13\" Value=\"point_2\"/>"
        "<ScriptValue ValueType=\"7\" Value=\"400\"/></ScriptCommand>"
        "<ScriptCommand Command=\"ai_place\" EngineId=\"162\" ValueType=\"4\"><ScriptValue ValueType=\"17\" Value=\"enc_marines/escort\"/>"
        "</ScriptCommand></s></scripts>");
    EXPECT_EQ(source.after, xml.after);
    const test::Node point = test::NodeAt(xml.after, xml.layout, 6);
    EXPECT_EQ(point.low, 4);  // the fifth camera point
    EXPECT_EQ(point.high, 0);
    const test::Node ai = test::NodeAt(xml.after, xml.layout, 10);
    EXPECT_EQ(ai.low, 5);          // enc_marines
    EXPECT_EQ(ai.high, 0x4000);    // its platoon 0
}

// A map whose scripts name its things is recompiled like any map xsc compiled: the scripts it holds
// read back through the map's names, and the same script again leaves the file as it is.
TEST(NameResolution, AMapWithResolvedNamesCompilesAgain) {
    test::TempDir dir;
    const std::string script = "(script startup s (camera_set point_2 400) (ai_place enc_marines/escort) (object_create crate_1))";
    const test::Compiled once = test::CompileInto(dir, test::NamedMap(8), script);
    HaloPcMap map;
    map.LoadMap(dir / "level.map");
    ScriptCompilier state;
    BuildScriptData(map, test::ScriptDocument(script), state);
    EXPECT_EQ(test::ReadBytes(dir / "level.map"), once.after);
}

}  // namespace
}  // namespace xsc

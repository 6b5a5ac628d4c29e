// Decompiling into the source language what it cannot write: each row of the table is an XML
// document whose map holds one such node (or none: then the text must compile back), and
// decompile/refused.expected holds what each gives, the error naming the script and slot
// (XSC_UPDATE_GOLDEN=1 rewrites it). And the deepest nesting the language reads, both ways.

#include <gtest/gtest.h>

#include "compile/DecompileSource.h"
#include "compile/ScriptCheck.h"
#include "map/HaloPcMap.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/Error.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

std::string Call(const std::string& command, int number, int type, const std::string& arguments = "") {
    return "<ScriptCommand Command='" + command + "' EngineId='" + std::to_string(number) + "' ValueType='" + std::to_string(type) +
           "'>" + arguments + "</ScriptCommand>";
}

std::string Value(int type, const std::string& value) {
    return "<ScriptValue ValueType='" + std::to_string(type) + "' Value='" + value + "'/>";
}

std::string Script(const std::string& name, int type, int returns, const std::string& body) {
    return "<script NameAttr='" + name + "' TypeAttr='" + std::to_string(type) + "' ReTypeAttr='" + std::to_string(returns) + "'>" +
           body + "</script>";
}

std::string DecompileOf(const test::TempDir& dir) {
    HaloPcMap map;
    map.LoadMap(dir / "level.map");
    const MapNames names = MapNames::Read(map);
    const NameResolver resolver(names);
    return DecompileToSource(ReadScriptData(map), engine::EngineBuild::Custom, &resolver);
}

TEST(SourceDecompile, WhatTheLanguageCannotWriteIsRefusedAtItsSlot) {
    const std::string print = Call("print", 28, 4, Value(9, "hi"));
    const std::string rows[] = {
        Script("a", 0, 4, Call("print", 12, 4, Value(9, "hi"))),                  // another build's number
        Script("a", 0, 4, Call("sleep", 19, 4, Value(8, "30"))),                  // a long where a short goes
        Script("a", 0, 4, Call("print", 28, 5, Value(9, "hi"))),                  // a statement typed boolean
        Script("a", 0, 4, "<GlobalValue ValueType='7' Value='12' ValueCommand='g'/>"),  // a value in a global node
        Script("a", 0, 4, Call("print", 28, 4, Value(9, "say &quot;hi&quot;"))),  // a double quote
        Script("a", 7, 4, print),                                                // no such script type
        Script("a", 0, 7, print),                                                // a startup script's value
        Script("a", 0, 4, Call("show_hud", 364, 4, Value(5, "maybe"))),          // a boolean as text
        Script("a", 0, 4, Value(4, "x")),                                        // a void literal
        Script("a", 0, 4, Call("frobnicate", 600, 4)),                           // no such function
        Script("a", 0, 4, Call("two words", 28, 4)),                             // a function name of two words
        Script("a", 1, 4, print) + Script("b", 0, 4, "<ScriptCall Script='a' ValueType='4'/>"),  // a dormant script called
        Script("a", 3, 7, ""),                                                   // a value of nothing
        Script("print", 3, 4, print),                                            // a script named like a function
        Script("a", 0, 4, Call("object_create", 38, 4, Value(43, "cheat_jetpack")) + Call("object_create", 38, 4, Value(43, "12"))),
    };
    std::string results;
    for (const std::string& row : rows) {
        test::TempDir dir, again;
        const test::Compiled compiled = test::CompileInto(dir, test::NamedMap(7), "<scripts>" + row + "</scripts>");
        try {
            const std::string source = DecompileOf(dir);
            EXPECT_TRUE(test::CompileInto(again, test::NamedMap(7), source).after == compiled.after) << source;
            results += "decompiled:\n" + source;
        } catch (const Error& e) {
            results += std::string(e.subject() == Error::Subject::Map ? "" : "not a map error: ") + e.what() + "\n";
        }
    }
    test::ExpectGolden("hsc/decompile/refused.expected", results);
}

// (script static boolean deep (not (not ... true))): the script's list and `depth` calls.
std::string Nested(std::size_t depth) {
    std::string source = "(script static boolean deep";
    for (std::size_t i = 0; i < depth; ++i) source += " (not";
    source += " true" + std::string(depth + 1, ')');
    return source;
}

TEST(SourceDecompile, ListsNestedToTheLimitCompileAndDecompileAndOneMoreIsRefused) {
    test::TempDir dir, again;
    mapgen::MapOptions map = test::SmallMap(8);
    map.slotCapacity = 2 * static_cast<std::int32_t>(hsc::kMaxNesting) + 8;  // the script, its calls and the literal
    const test::Compiled compiled = test::CompileInto(dir, map, Nested(hsc::kMaxNesting - 1));
    EXPECT_TRUE(test::CompileInto(again, map, DecompileOf(dir)).after == compiled.after);

    const std::vector<Diagnostic> refused = CheckScriptText(Nested(hsc::kMaxNesting), ScriptLanguage::Source, {}).diagnostics;
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].message, "lists nested more than 256 deep; the source is not read further");
    EXPECT_EQ(refused[0].column, static_cast<std::int64_t>(29 + 5 * (hsc::kMaxNesting - 1)));  // the last "(not"
}

}  // namespace
}  // namespace xsc

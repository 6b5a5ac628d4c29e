// XmlBuild on one script body as the build calls it: the string data already holds "begin", the
// body starts at slot 4 (identity 0xE373 + 4 = 0xE377). Each build/CASE.xml is built from its root
// element; CASE.expected holds the node records, read back byte by byte without the code that
// wrote them, and the texts appended behind "begin\0", or the error of a document the language
// refuses, with nothing built. XSC_UPDATE_GOLDEN=1 rewrites them.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "xml/ScriptIndex.h"
#include "xml/XmlBuild.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/ScriptCompilier.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

constexpr std::int32_t kBodyStart = -7309 + 4;  // identity number of slot 4

std::int32_t BuildBody(ScriptCompilier& state, const std::string& xml) {
    state.ResetForBuild();
    state.AppendString("begin");
    const XmlDocument document = XmlDocument::LoadXml(xml);
    return XmlBuild(state, *document.DocumentElement(), kBodyStart, ScriptIndex({"main", "helper"}));
}

// A 20-byte node record, little-endian: identity, engine, value type, expression type (16 bits
// each), the sibling pointer (slot index, identity), the string offset (32 bits), and the child
// pointer or value as two 16-bit halves, low and high.
std::string Rendered(const ScriptCompilier& state) {
    std::string out = "real nodes " + std::to_string(state.RealSyn) + "\n";
    out += "slot  identity engine type exp  sibling    string  low  high\n";
    const std::uint8_t* b = state.SyntaxBlock.Data();
    const auto w = [&](std::size_t at) { return static_cast<unsigned>(b[at] | b[at + 1] << 8); };
    for (std::size_t r = 0; r < state.SyntaxBlock.Size(); r += 20) {
        char line[96];
        std::snprintf(line, sizeof line, "%-5zu %04x     %04x   %04x %04x %04x/%04x  %-7u %04x %04x\n", r / 20 + 4, w(r),
                      w(r + 2), w(r + 4), w(r + 6), w(r + 8), w(r + 10), w(r + 12) | w(r + 14) << 16, w(r + 16), w(r + 18));
        out += line;
    }
    out += "texts behind begin:";
    const char* texts = reinterpret_cast<const char*>(state.StrBlock.Data());
    const auto end = static_cast<std::size_t>(state.LengthIntoStrings);
    for (std::size_t at = 6, n; at < end; at += n + 1) {
        n = strnlen(texts + at, end - at);
        out += " \"" + std::string(texts + at, n) + "\"";
    }
    return out + "\n";
}

TEST(XmlBuild, EachCaseBuildsItsExpectedRecords) {
    const std::filesystem::path folder = std::filesystem::path(__FILE__).parent_path() / "build";
    int cases = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".xml") continue;
        ++cases;
        ScriptCompilier state;
        std::string result;
        try {
            const std::int32_t next = BuildBody(state, test::ReadText(entry.path()));
            result = "next identity: slot 4's + " + std::to_string(next - kBodyStart);
        } catch (const Error& e) {
            result = std::string(e.subject() == Error::Subject::Script ? "refused: " : "refused, not as a script error: ") + e.what();
        }
        test::ExpectGolden("xml/build/" + entry.path().stem().string() + ".expected", result + "\n" + Rendered(state));
    }
    EXPECT_EQ(cases, 17);
}

// 100,000 calls nested in one another: 200,000 nodes; the innermost call has identity
// -7305 + 199998 = 192693 (low 16 bits 0xF0B5).
TEST(XmlBuild, HundredThousandLevelsCompileWithoutCrashing) {
    constexpr int kDepth = 100000;
    std::string xml = "<S>";
    for (int i = 0; i < kDepth; ++i) xml += "<ScriptCommand Command=\"f\">";
    for (int i = 0; i < kDepth; ++i) xml += "</ScriptCommand>";
    ScriptCompilier state;
    EXPECT_EQ(BuildBody(state, xml + "</S>"), kBodyStart + 2 * kDepth);
    ASSERT_EQ(state.SyntaxBlock.Size(), 20u * 2 * kDepth);
    const std::uint8_t* innermost = state.SyntaxBlock.Data() + 20 * (2 * kDepth - 2);
    EXPECT_EQ(innermost[0] | innermost[1] << 8, 0xF0B5);
}

}  // namespace
}  // namespace xsc

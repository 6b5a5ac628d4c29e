// The XML document tree, rendered for the golden file golden/XmlDocument.txt (XSC_UPDATE_GOLDEN=1
// rewrites it from what the test renders now): for each input, every node kept with where it
// starts, attributes as written and texts, or the message of a refused document. An element
// starts at its "<", a text at its first visible character; columns count characters (a tab, "é"
// and a character beyond 16 bits are one each, the byte-order mark none); "\r\n" and a lone "\r"
// each end a line.

#include <gtest/gtest.h>

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

// Printable ASCII as is, any other byte as \xNN.
std::string Escaped(std::string_view bytes) {
    std::string out;
    char hex[8];
    for (const unsigned char c : bytes) {
        std::snprintf(hex, sizeof hex, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02x", c);
        out += hex;
    }
    return out;
}

void Render(const XmlNode& node, int depth, std::string& out) {
    const std::string what = node.IsElement() ? node.Name : '"' + Escaped(node.Text) + '"';
    out += std::string(2 * depth, ' ') + what + " at " + std::to_string(node.Line) + ":" + std::to_string(node.Column);
    for (const auto& [name, value] : node.Attributes) out += " " + name + "=\"" + Escaped(value) + "\"";
    out += "\n";
    for (std::size_t i = 0; i < node.ChildCount(); ++i) Render(node.Child(i), depth + 1, out);
}

template <typename Text>
std::string Rendered(const Text& text) {
    std::string out;
    try {
        Render(*XmlDocument::LoadXml(text).DocumentElement(), 1, out);
    } catch (const Error& e) {
        out = std::string("  refused: ") + e.what() + (e.subject() == Error::Subject::Script ? "\n" : " (not a script error)\n");
    }
    return out;
}

TEST(XmlDocument, DocumentsAndRefusalsMatchTheGoldenFile) {
    const std::string_view inputs[] = {
        // Comments, instructions and whitespace-only text go; text, references and CDATA make
        // one text node, kept whole.
        "<?xml version=\"1.0\"?>\n<Root b=\"2\" a=\"one\" p:q='x'>\n  <!-- c -->\n"
        "  <Child x=\"&lt;&amp;\">  hello &amp; <![CDATA[<raw>]]> </Child>\n  <?editor fold?>\n"
        "  <Empty> <![CDATA[  ]]> </Empty>\n</Root>\n",
        "\xEF\xBB\xBF<a>\r\n\t<b/>\r  <c t=\"\xF0\x9F\x98\x80\xC3\xA9\"><d/>  text</c></a>",
        "<R>\n    <S NameAttr=\"main\">\n        <ScriptCommand   Command=\"f\">\n\n"
        "            <ScriptValue Value=\"1\" />\n        </ScriptCommand>\n    </S>\n</R>\n",
        // Bytes are decoded by byte-order mark or declaration.
        std::string_view("\xFF\xFE<\0a\0 \0x\0=\0'\0\xE9\0'\0/\0>\0", 22),
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a x=\"\xE9\"/>",
        "",
        "  \n<!-- nothing -->\n",
        "<!DOCTYPE a>\n<a/>",
        "<?xml version=\"1.0\"?>\n<!-- <!DOCTYPE x> -->\n  <!DOCTYPE a [<!ENTITY e \"v\">]>\n<a>&e;</a>",
        "<a/>\n  <b/>",
        "<a></a><!-- c --><?p?> <b>",
        "<a/>\n x",
        "<a>\n<b>\n</a>",
        "<a x=\"1\" x=\"2\"/>",
        "<a>&nope;</a>",
        "<a>\n  <b>",
        "<a>\n  caf\xC3(</a>",
        "<a/>\xC3",
        "<?xml version=\"1.0\" encoding=\"bogus-enc\"?><a/>",
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>",
    };
    std::string rendered;
    for (const std::string_view input : inputs) rendered += Escaped(input) + "\n" + Rendered(input);
    // Text from the window is taken as decoded.
    rendered += "(text)\n" + Rendered(QString::fromUtf8("<a x=\"\xC3\xA9\">\n <b/></a>"));

    const auto golden = std::filesystem::path(__FILE__).parent_path() / "golden" / "XmlDocument.txt";
    if (std::getenv("XSC_UPDATE_GOLDEN") != nullptr) test::WriteText(golden, rendered);
    const test::Bytes want = test::ReadBytes(golden);
    EXPECT_EQ(rendered, std::string(want.begin(), want.end()));
}

}  // namespace
}  // namespace xsc

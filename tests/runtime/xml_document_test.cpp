// The XML document tree: what it keeps, where it says nodes start, and what it refuses.

#include <gtest/gtest.h>

#include <QString>
#include <string>
#include <utility>
#include <vector>

#include "runtime/Error.h"
#include "runtime/XmlDocument.h"

namespace xsc {
namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;

const XmlNode& Root(const XmlDocument& document) {
    EXPECT_NE(document.DocumentElement(), nullptr);
    return *document.DocumentElement();
}

// "line:column" of a node, for compact assertions.
std::string At(const XmlNode& node) { return std::to_string(node.Line) + ":" + std::to_string(node.Column); }

// The message of the error a document is refused with, or "accepted".
std::string Refusal(std::string_view bytes) {
    try {
        XmlDocument::LoadXml(bytes);
    } catch (const Error& e) {
        EXPECT_EQ(e.subject(), Error::Subject::Script);
        return e.what();
    }
    return "accepted";
}

TEST(XmlDocument, KeepsElementsAttributesAndTextButNoCommentsOrWhitespace) {
    const XmlDocument document = XmlDocument::LoadXml(
        "<?xml version=\"1.0\"?>\n"
        "<Root b=\"2\" a=\"one\">\n"
        "  <!-- a comment -->\n"
        "  <Child x=\"&lt;&amp;\" y='q'>hello &amp; <![CDATA[<raw>]]> world</Child>\n"
        "  <?editor fold?>\n"
        "  <Empty/>\n"
        "</Root>\n");
    const XmlNode& root = Root(document);
    EXPECT_EQ(root.Name, "Root");
    EXPECT_EQ(root.Attributes, (Attributes{{"b", "2"}, {"a", "one"}}));  // document order
    ASSERT_EQ(root.ChildCount(), 2u);

    const XmlNode& child = root.Child(0);
    EXPECT_TRUE(child.IsElement());
    EXPECT_EQ(child.Name, "Child");
    EXPECT_EQ(child.Attributes, (Attributes{{"x", "<&"}, {"y", "q"}}));
    ASSERT_EQ(child.ChildCount(), 1u);  // text, reference and CDATA make one text node
    EXPECT_FALSE(child.Child(0).IsElement());
    EXPECT_EQ(child.Child(0).Text, "hello & <raw> world");

    EXPECT_EQ(root.Child(1).Name, "Empty");
    EXPECT_EQ(root.Child(1).ChildCount(), 0u);
}

TEST(XmlDocument, ElementsStartAtTheirStartTagAndTextAtItsFirstVisibleCharacter) {
    const XmlDocument document = XmlDocument::LoadXml(
        "<?xml version=\"1.0\"?>\n"
        "<Root>\n"
        "  <Child x=\"&lt;\" y='q'>  hello</Child>\n"
        "\t<Multi\n"
        "     a=\"1\"\n"
        "     b=\"2\"/>\n"
        "  <C><![CDATA[ cd ]]></C>\n"
        "</Root>");
    const XmlNode& root = Root(document);
    EXPECT_EQ(At(root), "2:1");
    EXPECT_EQ(At(root.Child(0)), "3:3");
    EXPECT_EQ(At(root.Child(0).Child(0)), "3:27");  // "hello", not the spaces before it
    EXPECT_EQ(At(root.Child(1)), "4:2");            // a tab is one column
    EXPECT_EQ(At(root.Child(2).Child(0)), "7:6");   // a CDATA section starts at "<![CDATA["
    EXPECT_EQ(root.Child(2).Child(0).Text, " cd ");
}

TEST(XmlDocument, PositionsCountCharactersAndAllLineEndings) {
    // "\r\n" and a lone "\r" both end a line; the byte-order mark is not a column; a character
    // outside the Basic Multilingual Plane (4 bytes of UTF-8) and "é" (2 bytes) are one each.
    const XmlDocument document = XmlDocument::LoadXml(
        "\xEF\xBB\xBF<a>\r\n <b/>\r  <c t=\"\xF0\x9F\x98\x80\xC3\xA9\"><d/></c></a>");
    const XmlNode& a = Root(document);
    EXPECT_EQ(At(a), "1:1");
    EXPECT_EQ(At(a.Child(0)), "2:2");
    EXPECT_EQ(At(a.Child(1)), "3:3");
    EXPECT_EQ(At(a.Child(1).Child(0)), "3:13");
    EXPECT_EQ(a.Child(1).GetAttribute("t"), "\xF0\x9F\x98\x80\xC3\xA9");
}

TEST(XmlDocument, WhitespaceOnlyTextIsDroppedOtherTextIsKeptWhole) {
    const XmlDocument document = XmlDocument::LoadXml("<a> \t\r\n <![CDATA[  ]]> <b>  x  </b>\n</a>");
    const XmlNode& a = Root(document);
    ASSERT_EQ(a.ChildCount(), 1u);
    ASSERT_EQ(a.Child(0).ChildCount(), 1u);
    EXPECT_EQ(a.Child(0).Child(0).Text, "  x  ");
    EXPECT_EQ(At(a.Child(0).Child(0)), "2:22");  // the "\r\n" ended line 1
}

void ExpectSameTree(const XmlNode& a, const XmlNode& b) {
    EXPECT_EQ(a.IsElement(), b.IsElement());
    EXPECT_EQ(a.Name, b.Name);
    EXPECT_EQ(a.Text, b.Text);
    EXPECT_EQ(a.Attributes, b.Attributes);
    ASSERT_EQ(a.ChildCount(), b.ChildCount()) << "below " << a.Name;
    for (std::size_t i = 0; i < a.ChildCount(); ++i) ExpectSameTree(a.Child(i), b.Child(i));
}

TEST(XmlDocument, IndentedDocumentEqualsTheOneLineDocument) {
    const XmlDocument oneLine = XmlDocument::LoadXml(
        R"(<R><S NameAttr="main"><ScriptCommand Command="f"><ScriptValue Value="1"/></ScriptCommand></S></R>)");
    const XmlDocument indented = XmlDocument::LoadXml(R"(
<R>
    <S NameAttr="main">
        <ScriptCommand Command="f">
            <ScriptValue Value="1"/>
        </ScriptCommand>
    </S>
</R>
)");
    ExpectSameTree(Root(oneLine), Root(indented));
}

TEST(XmlDocument, AttributeNamesMatchExactly) {
    const XmlDocument document = XmlDocument::LoadXml(R"(<a Value="7" Empty="" p:q="x"/>)");
    const XmlNode& a = Root(document);
    EXPECT_EQ(a.GetAttribute("Value"), "7");
    EXPECT_EQ(a.GetAttribute("value"), "");
    EXPECT_FALSE(a.HasAttribute("value"));
    EXPECT_FALSE(a.HasAttribute("VALUE"));
    EXPECT_TRUE(a.HasAttribute("Empty"));
    EXPECT_EQ(a.GetAttribute("Empty"), "");
    EXPECT_EQ(a.GetAttribute("p:q"), "x");  // prefixes are kept and need no declaration
}

TEST(XmlDocument, TextFromTheWindowParsesLikeBytes) {
    const XmlDocument fromText = XmlDocument::LoadXml(QString::fromUtf8("<a x=\"\xC3\xA9\">\n <b/></a>"));
    const XmlNode& a = Root(fromText);
    EXPECT_EQ(a.GetAttribute("x"), "\xC3\xA9");
    EXPECT_EQ(At(a.Child(0)), "2:2");
}

TEST(XmlDocument, ChoosesTheEncodingFromMarkOrDeclaration) {
    // UTF-16, little-endian with a byte-order mark and big-endian without one.
    const std::u16string text = u"<a x=\"\u00E9\"/>";
    std::string little = "\xFF\xFE";
    std::string big;
    for (const char16_t c : text) {
        little += static_cast<char>(c & 0xFF);
        little += static_cast<char>(c >> 8);
        big += static_cast<char>(c >> 8);
        big += static_cast<char>(c & 0xFF);
    }
    EXPECT_EQ(Root(XmlDocument::LoadXml(little)).GetAttribute("x"), "\xC3\xA9");
    EXPECT_EQ(Root(XmlDocument::LoadXml(big)).GetAttribute("x"), "\xC3\xA9");
    // Latin-1 by declaration: the byte E9 is "é".
    EXPECT_EQ(Root(XmlDocument::LoadXml("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a x=\"\xE9\"/>"))
                  .GetAttribute("x"),
              "\xC3\xA9");
}

TEST(XmlDocument, RefusesWhatIsNotAnAcceptableDocument) {
    EXPECT_EQ(Refusal(""), "1:1: no root element");
    EXPECT_EQ(Refusal("  \n<!-- nothing -->\n"), "3:1: no root element");
    EXPECT_EQ(Refusal("<?xml version=\"1.0\"?>"), "1:22: no root element");

    EXPECT_EQ(Refusal("<!DOCTYPE a>\n<a/>"), "1:1: document type declarations are not allowed");
    EXPECT_EQ(Refusal("<?xml version=\"1.0\"?>\n<!-- <!DOCTYPE x> -->\n  <!DOCTYPE a [<!ENTITY e \"v\">]>\n"
                      "<a>&e;</a>"),
              "3:3: document type declarations are not allowed");

    EXPECT_EQ(Refusal("<a/>\n  <b/>"), "2:3: more than one root element");
    EXPECT_EQ(Refusal("<a></a><!-- c --><?p?> <b>"), "1:24: more than one root element");
    EXPECT_EQ(Refusal("<a/>\n x"), "2:2: text after the root element");

    EXPECT_EQ(Refusal("<a>\n<b>\n</a>"),
              "3:4: malformed XML: opening and ending tag mismatch (inside element \"b\" that starts at 2:1)");
    EXPECT_EQ(Refusal("<a x=\"1\" x=\"2\"/>"), "1:16: malformed XML: attribute 'x' redefined");
    EXPECT_EQ(Refusal("<a>&nope;</a>"),
              "1:9: malformed XML: entity 'nope' not declared (inside element \"a\" that starts at 1:1)");
    EXPECT_EQ(Refusal("<a>\n  <b>"),
              "2:5: malformed XML: premature end of document (inside element \"b\" that starts at 2:3)");
}

TEST(XmlDocument, RefusesBytesThatAreNotInTheirEncoding) {
    EXPECT_EQ(Refusal("<a>\n  caf\xC3(</a>"), "2:6: invalid UTF-8 byte sequence");
    EXPECT_EQ(Refusal("<a>\xFF</a>"), "1:4: invalid UTF-8 byte sequence");
    EXPECT_EQ(Refusal("<a/>\xC3"), "1:5: invalid UTF-8 byte sequence");  // cut off at the end
    EXPECT_EQ(Refusal("<?xml version=\"1.0\" encoding=\"bogus-enc\"?><a/>"),
              "1:31: unsupported encoding \"bogus-enc\"");
    EXPECT_EQ(Refusal("<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>"),
              "1:31: the XML declaration names encoding \"UTF-16\", but the file is stored in an 8-bit "
              "encoding (a file in that encoding starts with a byte-order mark)");
}

// Built and destroyed without recursion: a deep chain must neither overflow the stack nor
// lose a level.
TEST(XmlDocument, HundredThousandLevelsParse) {
    constexpr int kDepth = 100000;
    std::string xml;
    for (int i = 0; i < kDepth; ++i) xml += "<e>";
    xml += "leaf";
    for (int i = 0; i < kDepth; ++i) xml += "</e>";
    const XmlDocument document = XmlDocument::LoadXml(xml);
    const XmlNode* node = document.DocumentElement();
    int depth = 0;
    while (node->IsElement()) {
        ASSERT_EQ(node->ChildCount(), 1u);
        ++depth;
        node = &node->Child(0);
    }
    EXPECT_EQ(depth, kDepth);
    EXPECT_EQ(node->Text, "leaf");
    EXPECT_EQ(node->Column, 3 * kDepth + 1);
}

}  // namespace
}  // namespace xsc

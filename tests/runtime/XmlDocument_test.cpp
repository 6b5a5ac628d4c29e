// The XML document tree: what it keeps, where it says nodes start, and what it refuses.

#include <gtest/gtest.h>

#include <QString>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "runtime/Error.h"
#include "runtime/XmlDocument.h"

namespace xsc {
namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;

std::string At(const XmlNode& node) { return std::to_string(node.Line) + ":" + std::to_string(node.Column); }

TEST(XmlDocument, KeepsElementsAttributesAndTextButNoCommentsOrWhitespace) {
    const XmlDocument document = XmlDocument::LoadXml(
        "<?xml version=\"1.0\"?>\n<Root b=\"2\" a=\"one\" p:q='x'>\n  <!-- c -->\n"
        "  <Child x=\"&lt;&amp;\">  hello &amp; <![CDATA[<raw>]]> </Child>\n  <?editor fold?>\n"
        "  <Empty> <![CDATA[  ]]> </Empty>\n</Root>\n");
    const XmlNode& root = *document.DocumentElement();
    EXPECT_EQ(root.Name, "Root");
    EXPECT_EQ(root.Attributes, (Attributes{{"b", "2"}, {"a", "one"}, {"p:q", "x"}}));  // as written
    ASSERT_EQ(root.ChildCount(), 2u);
    const XmlNode& child = root.Child(0);
    EXPECT_EQ(child.GetAttribute("x"), "<&");
    ASSERT_EQ(child.ChildCount(), 1u);  // text, reference and CDATA make one text node, kept whole
    EXPECT_FALSE(child.Child(0).IsElement());
    EXPECT_EQ(child.Child(0).Text, "  hello & <raw> ");
    EXPECT_EQ(root.Child(1).Name, "Empty");
    EXPECT_EQ(root.Child(1).ChildCount(), 0u);  // whitespace-only CDATA is dropped too
}

// An element starts at its "<", a text at its first visible character. Columns count
// characters: a tab, "é" (2 bytes) and a character beyond 16 bits (4 bytes) are one each; the
// byte-order mark is none. "\r\n" and a lone "\r" each end a line.
TEST(XmlDocument, PositionsCountCharactersAndLineEndings) {
    const XmlDocument document = XmlDocument::LoadXml(
        "\xEF\xBB\xBF<a>\r\n\t<b/>\r  <c t=\"\xF0\x9F\x98\x80\xC3\xA9\"><d/>  text</c></a>");
    const XmlNode& a = *document.DocumentElement();
    EXPECT_EQ(At(a), "1:1");
    EXPECT_EQ(At(a.Child(0)), "2:2");
    EXPECT_EQ(At(a.Child(1)), "3:3");
    EXPECT_EQ(At(a.Child(1).Child(0)), "3:13");
    EXPECT_EQ(At(a.Child(1).Child(1)), "3:19");
}

void ExpectSameTree(const XmlNode& a, const XmlNode& b) {
    EXPECT_EQ(std::tie(a.Name, a.Text, a.Attributes), std::tie(b.Name, b.Text, b.Attributes));
    ASSERT_EQ(a.ChildCount(), b.ChildCount()) << "below " << a.Name;
    for (std::size_t i = 0; i < a.ChildCount(); ++i) ExpectSameTree(a.Child(i), b.Child(i));
}

TEST(XmlDocument, IndentedDocumentEqualsTheOneLineDocument) {
    const XmlDocument oneLine = XmlDocument::LoadXml(
        R"(<R><S NameAttr="main"><ScriptCommand Command="f"><ScriptValue Value="1"/></ScriptCommand></S></R>)");
    const XmlDocument indented = XmlDocument::LoadXml(R"(
<R>
    <S NameAttr="main">
        <ScriptCommand   Command="f">

            <ScriptValue Value="1" />
        </ScriptCommand>
    </S>
</R>
)");
    ExpectSameTree(*oneLine.DocumentElement(), *indented.DocumentElement());
}

// Bytes are decoded by byte-order mark or declaration; text from the window is taken as is.
TEST(XmlDocument, ReadsOtherEncodingsAndDecodedText) {
    const std::string utf16 = std::string("\xFF\xFE<\0a\0 \0x\0=\0'\0\xE9\0'\0/\0>\0", 22);
    EXPECT_EQ(XmlDocument::LoadXml(utf16).DocumentElement()->GetAttribute("x"), "\xC3\xA9");
    const XmlDocument latin1 = XmlDocument::LoadXml("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a x=\"\xE9\"/>");
    EXPECT_EQ(latin1.DocumentElement()->GetAttribute("x"), "\xC3\xA9");
    const XmlDocument text = XmlDocument::LoadXml(QString::fromUtf8("<a x=\"\xC3\xA9\">\n <b/></a>"));
    EXPECT_EQ(text.DocumentElement()->GetAttribute("x"), "\xC3\xA9");
    EXPECT_EQ(At(text.DocumentElement()->Child(0)), "2:2");
}

TEST(XmlDocument, RefusesWhatIsNotAnAcceptableDocument) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"", "1:1: no root element"},
        {"  \n<!-- nothing -->\n", "3:1: no root element"},
        {"<!DOCTYPE a>\n<a/>", "1:1: document type declarations are not allowed"},
        {"<?xml version=\"1.0\"?>\n<!-- <!DOCTYPE x> -->\n  <!DOCTYPE a [<!ENTITY e \"v\">]>\n<a>&e;</a>",
         "3:3: document type declarations are not allowed"},
        {"<a/>\n  <b/>", "2:3: more than one root element"},
        {"<a></a><!-- c --><?p?> <b>", "1:24: more than one root element"},
        {"<a/>\n x", "2:2: text after the root element"},
        {"<a>\n<b>\n</a>",
         "3:4: malformed XML: opening and ending tag mismatch (inside element \"b\" that starts at 2:1)"},
        {"<a x=\"1\" x=\"2\"/>", "1:16: malformed XML: attribute 'x' redefined"},
        {"<a>&nope;</a>", "1:9: malformed XML: entity 'nope' not declared (inside element \"a\" that starts at 1:1)"},
        {"<a>\n  <b>", "2:5: malformed XML: premature end of document (inside element \"b\" that starts at 2:3)"},
        {"<a>\n  caf\xC3(</a>", "2:6: invalid UTF-8 byte sequence"},
        {"<a/>\xC3", "1:5: invalid UTF-8 byte sequence"},  // cut off at the end
        {"<?xml version=\"1.0\" encoding=\"bogus-enc\"?><a/>", "1:31: unsupported encoding \"bogus-enc\""},
        {"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>",
         "1:31: the XML declaration names encoding \"UTF-16\", but the file is stored in an 8-bit encoding "
         "(a file in that encoding starts with a byte-order mark)"}};
    for (const auto& [bytes, message] : cases) {
        SCOPED_TRACE(bytes);
        try {
            XmlDocument::LoadXml(bytes);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), message);
            EXPECT_EQ(e.subject(), Error::Subject::Script);
        }
    }
}

}  // namespace
}  // namespace xsc

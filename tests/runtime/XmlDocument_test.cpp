// The XML document tree. Each document in xml/ (its bytes as a file holds them) is loaded and
// rendered, with the text the window hands over, for the golden file golden/XmlDocument.txt
// (XSC_UPDATE_GOLDEN=1 rewrites it from what the test renders now): every node kept, with where
// it starts, attributes as written and texts, or the message of a refused document. An element
// starts at its "<", a text at its first visible character; columns count characters (a tab, "é"
// and a character beyond 16 bits are one each, the byte-order mark none); "\r\n" and a lone "\r"
// each end a line. Comments, instructions and whitespace-only text go; text, references and CDATA
// make one text node, kept whole; bytes are decoded by byte-order mark or declaration.

#include <gtest/gtest.h>

#include <QString>
#include <cstdlib>
#include <set>
#include <string>

#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

void Render(const XmlNode& node, int depth, std::string& out) {
    const std::string what = node.IsElement() ? node.Name : '"' + node.Text + '"';
    out += std::string(2 * depth, ' ') + what + " at " + std::to_string(node.Line) + ":" + std::to_string(node.Column);
    for (const auto& [name, value] : node.Attributes) out += " " + name + "=\"" + value + "\"";
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

TEST(XmlDocument, DocumentsMatchTheGoldenFile) {
    const std::filesystem::path folder = std::filesystem::path(__FILE__).parent_path();
    std::string rendered;
    for (const std::filesystem::path& file : std::set<std::filesystem::path>(
             std::filesystem::directory_iterator(folder / "xml"), std::filesystem::directory_iterator())) {
        if (file.extension() != ".xml") continue;
        const test::Bytes bytes = test::ReadBytes(file);
        const std::string_view document(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        rendered += file.filename().string() + "\n" + Rendered(document);
    }
    rendered += "text from the window\n" + Rendered(QString::fromUtf8("<a x=\"\xC3\xA9\">\n <b/></a>"));

    test::ExpectGolden("runtime/golden/XmlDocument.txt", rendered);
}

}  // namespace
}  // namespace xsc

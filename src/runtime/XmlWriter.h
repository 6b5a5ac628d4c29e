#pragma once
// Writes an XML document as text: one element a line, indented by two spaces a level (levels
// beyond 40 as level 40), attributes in the order given, in double quotes.
//
// Attribute values are UTF-8 bytes, escaped so that a conforming parser returns exactly those
// bytes: & < > " as entities, and tab, line feed and carriage return as character references
// (&#9; &#10; &#13;), since a parser turns those characters into spaces when they stand in an
// attribute literally. Bytes that XML 1.0 cannot carry at all must be kept out: TextProblem says
// which those are, and the writer does not check again.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xsc {

class XmlDocument;

class XmlWriter {
public:
    using Attributes = std::vector<std::pair<std::string_view, std::string>>;

    // Starts the document with its XML declaration.
    XmlWriter();

    // A comment on a line of its own; the text must not hold "--".
    void Comment(std::string_view text);
    void StartElement(std::string_view name, const Attributes& attributes);
    void EmptyElement(std::string_view name, const Attributes& attributes);
    void EndElement();
    // Elements started and not yet ended.
    std::size_t OpenElements() const { return open_.size(); }

    // Ends every open element and hands over the text.
    std::string Finish();

    // A whole document's elements and their attributes (text nodes are left out), after a
    // comment when one is given.
    static std::string WriteDocument(const XmlDocument& document, std::string_view comment = {});

    // Why these bytes cannot be the value of an attribute, worded to follow "the text": "is not
    // UTF-8 (...)" (an overlong form, a surrogate, a cut-off sequence) or "holds U+0001 ..." (a
    // character outside XML 1.0's Char production: a control character other than tab, line
    // feed and carriage return, U+FFFE, U+FFFF). Empty when they can.
    static std::optional<std::string> TextProblem(std::string_view bytes);

private:
    void Tag(std::string_view name, const Attributes& attributes, bool empty);
    void Indent();

    std::string text_;
    std::vector<std::string> open_;
};

}  // namespace xsc

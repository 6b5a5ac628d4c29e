#pragma once
// A small XML document tree of our own, built with QXmlStreamReader (a conforming, strict
// parser that reports line and column). It keeps what the script language needs: elements
// with their name, attributes, children, and the line and column where each starts, plus
// non-whitespace text nodes (so the compiler can refuse them with a position).
//
// - Whitespace-only text between elements is dropped (whitespace preservation off).
// - Comments and processing instructions are skipped, as if absent.
// - CDATA sections are kept as text nodes (whitespace-only CDATA is dropped like text).
// - A document type declaration is refused: the language has no use for one, and refusing it
//   rules out entity-expansion attacks.
// - Malformed XML throws Error::AtScript with the parser's line and column.
// - Line and column of an element are those of its start tag's "<"; of a text node, those of
//   its first non-whitespace character. Columns count characters (a code point is one column).
//
// Nodes live in one arena owned by the document and refer to their children by pointer, so a
// document nested 100,000 levels deep is built and destroyed without recursion.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QString;

namespace xsc {

struct XmlNode {
    enum class Kind { Element, Text };
    Kind kind = Kind::Element;
    std::string Name;  // element name, UTF-8 (empty for text)
    std::string Text;  // text content, UTF-8 (empty for elements)
    std::vector<std::pair<std::string, std::string>> Attributes;  // in document order, UTF-8
    std::vector<const XmlNode*> Children;
    std::int64_t Line = 0;    // where the node starts, counted from 1
    std::int64_t Column = 0;  // counted from 1
    std::int32_t File = 0;    // for a tree made from several source files: which one (XmlTreeBuilder)

    std::size_t ChildCount() const { return Children.size(); }
    const XmlNode& Child(std::size_t index) const { return *Children.at(index); }
    bool IsElement() const { return kind == Kind::Element; }
    // The attribute's value, or empty text when absent (names match exactly).
    std::string GetAttribute(std::string_view name) const;
    bool HasAttribute(std::string_view name) const;
};

class XmlDocument {
public:
    XmlDocument() = default;
    // Moving keeps every node where it is (the arena's blocks change owner), so the moved-to
    // document's pointers stay valid; the moved-from document is left empty.
    XmlDocument(XmlDocument&& other) noexcept : nodes_(std::move(other.nodes_)), root_(other.root_) {
        other.nodes_.clear();
        other.root_ = nullptr;
    }
    XmlDocument& operator=(XmlDocument&& other) noexcept {
        nodes_ = std::move(other.nodes_);
        root_ = other.root_;
        other.nodes_.clear();
        other.root_ = nullptr;
        return *this;
    }
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Parses raw bytes (a script file; the encoding comes from a byte-order mark or the XML
    // declaration, UTF-8 by default).
    static XmlDocument LoadXml(std::string_view bytes);
    // Bytes from a literal (without this, a literal could convert to either of the others).
    static XmlDocument LoadXml(const char* bytes) { return LoadXml(std::string_view(bytes)); }
    // Parses text already decoded (the script field of the desktop app).
    static XmlDocument LoadXml(const QString& text);

    // The root element; nullptr for a document without one.
    const XmlNode* DocumentElement() const { return root_; }

private:
    std::deque<XmlNode> nodes_;
    const XmlNode* root_ = nullptr;
    friend class XmlDocumentBuilder;
    friend class XmlTreeBuilder;
};

// Makes a document in code, for trees that come from elsewhere than XML text (a script of the
// source language, lowered to the XML language's elements): elements with their attributes and
// the line and column of what they stand for.
class XmlTreeBuilder {
public:
    // A new element, appended as the last child of `parent`, or the root element when `parent`
    // is nullptr (the first such call only). The node stays where it is as the document grows
    // and moves.
    XmlNode& AddElement(XmlNode* parent, std::string name, std::int64_t line, std::int64_t column, std::int32_t file = 0);
    // Hands over the document; the builder is left empty.
    XmlDocument Finish() { return std::move(document_); }

private:
    XmlDocument document_;
};

}  // namespace xsc

#include "runtime/XmlDocument.h"

#include <QString>
#include <algorithm>
#include <QXmlStreamReader>

#include "runtime/Error.h"
#include "runtime/XmlDecode.h"
#include "runtime/XmlTextCursor.h"

// Positions. QXmlStreamReader reports where it stopped reading, which is the end of a token
// (and for text, one character further). The builder therefore keeps the decoded text and
// works out where things begin:
// - an element starts at its start tag's "<": the last "<" before the end of the start tag,
//   since "<" cannot occur inside a tag;
// - a text node starts at its first non-whitespace character (for a CDATA section, its
//   "<![CDATA["); its run of text begins where the markup before it ended;
// - a document type declaration starts at "<!DOCTYPE";
// - a parse error is placed at the last character the reader consumed before it gave up, or,
//   for content behind the root element, at the start of that content.

namespace xsc {

std::string XmlNode::GetAttribute(std::string_view name) const {
    for (const auto& [key, value] : Attributes) {
        if (key == name) return value;
    }
    return {};
}

bool XmlNode::HasAttribute(std::string_view name) const {
    for (const auto& attribute : Attributes) {
        if (attribute.first == name) return true;
    }
    return false;
}

namespace {

bool IsXmlSpace(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

bool IsWhitespaceOnly(const QString& text) {
    for (const QChar c : text) {
        if (!IsXmlSpace(c)) return false;
    }
    return true;
}

bool IsNameStart(QChar c) {
    return c.isLetter() || c == u'_' || c == u':' || c.unicode() >= 0x80;
}

std::string Utf8(QStringView text) { return text.toUtf8().toStdString(); }

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// The reader's message as part of ours: "Opening and ending tag mismatch." becomes
// "opening and ending tag mismatch".
std::string ReaderMessage(const QString& message) {
    QString text = message.trimmed();
    if (text.endsWith(u'.')) text.chop(1);
    if (!text.isEmpty()) text[0] = text[0].toLower();
    return Utf8(text);
}

}  // namespace

class XmlDocumentBuilder {
public:
    explicit XmlDocumentBuilder(const QString& text) : text_(text), reader_(text), cursor_(text) {
        // Names are kept as written ("a:b"); prefixes need no declaration.
        reader_.setNamespaceProcessing(false);
    }

    XmlDocument Build() {
        while (!reader_.atEnd()) {
            const QXmlStreamReader::TokenType token = reader_.readNext();
            if (token != QXmlStreamReader::Characters) FlushText();
            switch (token) {
                case QXmlStreamReader::StartDocument:
                    // Without a declaration the reader has looked ahead; nothing has ended.
                    if (!reader_.documentVersion().isEmpty()) MarkupEnded();
                    break;
                case QXmlStreamReader::DTD: RefuseDocumentType(); break;
                case QXmlStreamReader::StartElement: StartElement(); break;
                case QXmlStreamReader::EndElement: EndElement(); break;
                case QXmlStreamReader::Characters: Characters(); break;
                case QXmlStreamReader::Comment:
                case QXmlStreamReader::ProcessingInstruction: MarkupEnded(); break;
                case QXmlStreamReader::Invalid: FailFromReader(); break;
                default: break;
            }
        }
        return std::move(document_);
    }

private:
    XmlTextPosition PositionAt(qsizetype offset) { return cursor_.At(offset); }

    void MarkupEnded() { markupEnd_ = reader_.characterOffset(); }

    XmlNode& NewNode(XmlNode::Kind kind, qsizetype start) {
        XmlNode& node = document_.nodes_.emplace_back();
        node.kind = kind;
        const XmlTextPosition at = PositionAt(start);
        node.Line = at.line;
        node.Column = at.column;
        if (!open_.empty()) open_.back()->Children.push_back(&node);
        return node;
    }

    void StartElement() {
        const qsizetype end = reader_.characterOffset();
        XmlNode& element = NewNode(XmlNode::Kind::Element, text_.lastIndexOf(u'<', end - 1));
        element.Name = Utf8(reader_.qualifiedName());
        const QXmlStreamAttributes attributes = reader_.attributes();
        element.Attributes.reserve(static_cast<std::size_t>(attributes.size()));
        for (const QXmlStreamAttribute& attribute : attributes) {
            element.Attributes.emplace_back(Utf8(attribute.qualifiedName()), Utf8(attribute.value()));
        }
        if (document_.root_ == nullptr) document_.root_ = &element;
        open_.push_back(&element);
        markupEnd_ = end;
    }

    void EndElement() {
        if (!open_.empty()) open_.pop_back();
        MarkupEnded();
        if (open_.empty()) rootEnd_ = markupEnd_;
    }

    // Text arrives in pieces (plain text, references, CDATA sections); consecutive pieces make
    // one run, kept as one text node unless it is whitespace only.
    void Characters() {
        if (pendingStart_ < 0) pendingStart_ = markupEnd_;
        pendingText_ += reader_.text();
    }

    void FlushText() {
        if (pendingStart_ < 0) return;
        if (!IsWhitespaceOnly(pendingText_)) {
            qsizetype start = pendingStart_;
            while (start < text_.size() && IsXmlSpace(text_[start])) ++start;
            NewNode(XmlNode::Kind::Text, start).Text = Utf8(pendingText_);
        }
        pendingText_.clear();
        pendingStart_ = -1;
    }

    [[noreturn]] void RefuseDocumentType() {
        qsizetype start = text_.indexOf(u"<!DOCTYPE", markupEnd_);
        if (start < 0) start = reader_.characterOffset();
        const XmlTextPosition at = PositionAt(start);
        throw Error::AtScript("document type declarations are not allowed", at.line, at.column);
    }

    [[noreturn]] void FailFromReader() {
        if (rootEnd_ >= 0) FailBehindRoot();
        if (reader_.error() == QXmlStreamReader::PrematureEndOfDocumentError && open_.empty() &&
            IsWhitespaceOnly(text_.mid(markupEnd_))) {
            const XmlTextPosition at = PositionAt(text_.size());
            throw Error::AtScript("no root element", at.line, at.column);
        }
        std::string message = "malformed XML: " + ReaderMessage(reader_.errorString());
        if (!open_.empty()) {
            const XmlNode& open = *open_.back();
            message += " (inside element " + Quoted(open.Name) + " that starts at " +
                       std::to_string(open.Line) + ":" + std::to_string(open.Column) + ")";
        }
        FailAtReader(message);
    }

    // Behind the root element only whitespace, comments and processing instructions may
    // follow: find what else there is.
    [[noreturn]] void FailBehindRoot() {
        qsizetype at = rootEnd_;
        while (at < text_.size()) {
            if (IsXmlSpace(text_[at])) {
                ++at;
            } else if (QStringView(text_).mid(at).startsWith(u"<!--")) {
                const qsizetype end = text_.indexOf(u"-->", at + 4);
                if (end < 0) break;
                at = end + 3;
            } else if (QStringView(text_).mid(at).startsWith(u"<?")) {
                const qsizetype end = text_.indexOf(u"?>", at + 2);
                if (end < 0) break;
                at = end + 2;
            } else {
                const bool element = text_[at] == u'<' && at + 1 < text_.size() && IsNameStart(text_[at + 1]);
                const XmlTextPosition position = PositionAt(at);
                throw Error::AtScript(element ? "more than one root element"
                                              : "text after the root element",
                                      position.line, position.column);
            }
        }
        FailAtReader("malformed XML: " + ReaderMessage(reader_.errorString()));
    }

    [[noreturn]] void FailAtReader(const std::string& message) {
        const XmlTextPosition at = PositionAt(std::max<qsizetype>(reader_.characterOffset() - 1, 0));
        throw Error::AtScript(message, at.line, at.column);
    }

    const QString& text_;
    QXmlStreamReader reader_;
    XmlTextCursor cursor_;
    XmlDocument document_;
    std::vector<XmlNode*> open_;  // the elements whose end tag is still to come, innermost last
    qsizetype markupEnd_ = 0;     // where the last tag, comment or declaration ended
    qsizetype rootEnd_ = -1;      // where the root element's end tag ended, once it has
    QString pendingText_;
    qsizetype pendingStart_ = -1;  // where the current run of text began; -1 outside one
};

XmlNode& XmlTreeBuilder::AddElement(XmlNode* parent, std::string name, std::int64_t line, std::int64_t column,
                                    std::int32_t file) {
    XmlNode& element = document_.nodes_.emplace_back();
    element.Name = std::move(name);
    element.Line = line;
    element.Column = column;
    element.File = file;
    if (parent != nullptr) {
        parent->Children.push_back(&element);
    } else {
        document_.root_ = &element;
    }
    return element;
}

XmlDocument XmlDocument::LoadXml(std::string_view bytes) { return LoadXml(DecodeXmlBytes(bytes)); }

XmlDocument XmlDocument::LoadXml(const QString& text) { return XmlDocumentBuilder(text).Build(); }

}  // namespace xsc

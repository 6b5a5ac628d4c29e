#include "runtime/XmlWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "runtime/XmlDocument.h"

namespace xsc {
namespace {

constexpr std::size_t kIndent = 2;
// Deeper elements are indented as far as this level, so that the text grows with the number of
// elements, not with the square of their nesting.
constexpr std::size_t kDeepestIndentedLevel = 40;

void AppendEscaped(std::string& out, std::string_view bytes) {
    for (const char c : bytes) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\t': out += "&#9;"; break;
            case '\n': out += "&#10;"; break;
            case '\r': out += "&#13;"; break;
            default: out += c;
        }
    }
}

std::string ByteHex(unsigned char byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", byte);
    return text;
}

std::string CodePoint(std::uint32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

bool IsXmlChar(std::uint32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// The length of the UTF-8 sequence a lead byte starts, and the range its second byte must lie
// in (which rules out overlong forms, surrogates and code points beyond U+10FFFF); 0 for a byte
// that cannot start a sequence.
struct Lead {
    int length;
    unsigned char secondMin, secondMax;
    std::uint32_t bits;
};
Lead LeadOf(unsigned char b) {
    if (b < 0x80) return {1, 0, 0, b};
    if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF, b & 0x1Fu};
    if (b == 0xE0) return {3, 0xA0, 0xBF, b & 0x0Fu};
    if (b == 0xED) return {3, 0x80, 0x9F, b & 0x0Fu};
    if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF, b & 0x0Fu};
    if (b == 0xF0) return {4, 0x90, 0xBF, b & 0x07u};
    if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF, b & 0x07u};
    if (b == 0xF4) return {4, 0x80, 0x8F, b & 0x07u};
    return {0, 0, 0, 0};
}

}  // namespace

XmlWriter::XmlWriter() { text_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"; }

void XmlWriter::Indent() { text_.append(std::min(open_.size(), kDeepestIndentedLevel) * kIndent, ' '); }

void XmlWriter::Comment(std::string_view text) {
    Indent();
    text_ += "<!-- ";
    text_ += text;
    text_ += " -->\n";
}

void XmlWriter::Tag(std::string_view name, const Attributes& attributes, bool empty) {
    Indent();
    text_ += '<';
    text_ += name;
    for (const auto& [key, value] : attributes) {
        text_ += ' ';
        text_ += key;
        text_ += "=\"";
        AppendEscaped(text_, value);
        text_ += '"';
    }
    text_ += empty ? "/>\n" : ">\n";
}

void XmlWriter::StartElement(std::string_view name, const Attributes& attributes) {
    Tag(name, attributes, false);
    open_.emplace_back(name);
}

void XmlWriter::EmptyElement(std::string_view name, const Attributes& attributes) { Tag(name, attributes, true); }

void XmlWriter::EndElement() {
    const std::string name = std::move(open_.back());
    open_.pop_back();
    Indent();
    text_ += "</" + name + ">\n";
}

std::string XmlWriter::Finish() {
    while (!open_.empty()) EndElement();
    return std::move(text_);
}

std::string XmlWriter::WriteDocument(const XmlDocument& document, std::string_view comment) {
    XmlWriter xml;
    if (!comment.empty()) xml.Comment(comment);
    const XmlNode* root = document.DocumentElement();
    if (root == nullptr) return xml.Finish();
    const auto attributes = [](const XmlNode& element) {
        Attributes list;
        for (const auto& [name, value] : element.Attributes) list.emplace_back(name, value);
        return list;
    };
    // The elements whose children are being written, and the next child of each.
    std::vector<std::pair<const XmlNode*, std::size_t>> open;
    const auto enter = [&](const XmlNode& element) {
        const bool hasElements = std::any_of(element.Children.begin(), element.Children.end(),
                                             [](const XmlNode* child) { return child->IsElement(); });
        if (!hasElements) {
            xml.EmptyElement(element.Name, attributes(element));
            return;
        }
        xml.StartElement(element.Name, attributes(element));
        open.emplace_back(&element, 0);
    };
    enter(*root);
    while (!open.empty()) {
        auto& [element, next] = open.back();
        if (next == element->ChildCount()) {
            xml.EndElement();
            open.pop_back();
            continue;
        }
        const XmlNode& child = element->Child(next++);
        if (child.IsElement()) enter(child);
    }
    return xml.Finish();
}

std::optional<std::string> XmlWriter::TextProblem(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[at]);
        const Lead lead = LeadOf(b);
        if (lead.length == 0 || at + static_cast<std::size_t>(lead.length) > bytes.size()) {
            return "is not UTF-8 (byte " + ByteHex(b) + " at byte " + std::to_string(at) +
                   (lead.length == 0 ? " cannot start a character)" : " starts a character that the text cuts off)");
        }
        std::uint32_t c = lead.bits;
        for (int k = 1; k < lead.length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(k)]);
            const bool fits = k == 1 ? next >= lead.secondMin && next <= lead.secondMax : next >= 0x80 && next <= 0xBF;
            if (!fits) {
                return "is not UTF-8 (byte " + ByteHex(next) + " at byte " + std::to_string(at + static_cast<std::size_t>(k)) +
                       " does not continue the character that byte " + std::to_string(at) + " starts)";
            }
            c = (c << 6) | (next & 0x3Fu);
        }
        if (!IsXmlChar(c)) {
            return "holds " + CodePoint(c) + " at byte " + std::to_string(at) + ", a character XML 1.0 cannot carry";
        }
        at += static_cast<std::size_t>(lead.length);
    }
    return std::nullopt;
}

}  // namespace xsc

#include "lsp/TextDocument.h"

#include <algorithm>

namespace xsc::lsp {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The bytes of the UTF-8 sequence that `lead` starts; 1 for a byte that starts none.
std::size_t SequenceBytes(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

// The code units one character of `bytes` UTF-8 bytes takes in the encoding.
std::int64_t Units(std::size_t bytes, PositionEncoding encoding) {
    switch (encoding) {
        case PositionEncoding::Utf8: return static_cast<std::int64_t>(bytes);
        case PositionEncoding::Utf16: return bytes == 4 ? 2 : 1;
        case PositionEncoding::Utf32: return 1;
    }
    return 1;
}

// The length of the character at `at` in `line`: its sequence, cut where the line or a byte that
// continues no sequence ends it.
std::size_t CharacterBytes(std::string_view line, std::size_t at) {
    const std::size_t wanted = std::min(SequenceBytes(static_cast<unsigned char>(line[at])), line.size() - at);
    std::size_t bytes = 1;
    while (bytes < wanted && (static_cast<unsigned char>(line[at + bytes]) & 0xC0) == 0x80) ++bytes;
    return bytes;
}

}  // namespace

TextDocument::TextDocument(QString uri, std::string text, std::int64_t version)
    : uri_(std::move(uri)), text_(std::move(text)), version_(version) {
    IndexLines();
}

void TextDocument::IndexLines() {
    lineStarts_.assign(1, 0);
    for (std::size_t at = text_.find('\n'); at != std::string::npos; at = text_.find('\n', at + 1)) lineStarts_.push_back(at + 1);
}

std::string_view TextDocument::Line(std::size_t line) const {
    const std::size_t begin = lineStarts_[line];
    std::size_t end = line + 1 < lineStarts_.size() ? lineStarts_[line + 1] - 1 : text_.size();
    if (end > begin && text_[end - 1] == '\r') --end;
    return std::string_view(text_).substr(begin, end - begin);
}

std::size_t TextDocument::Offset(Position position, PositionEncoding encoding) const {
    if (position.line < 0) return 0;
    if (static_cast<std::size_t>(position.line) >= lineStarts_.size()) return text_.size();
    const std::size_t line = static_cast<std::size_t>(position.line);
    const std::string_view text = Line(line);
    std::size_t at = 0;
    for (std::int64_t units = 0; at < text.size();) {
        const std::size_t bytes = CharacterBytes(text, at);
        units += Units(bytes, encoding);
        if (units > position.character) break;
        at += bytes;
    }
    return lineStarts_[line] + at;
}

Position TextDocument::PositionAt(std::size_t offset, PositionEncoding encoding) const {
    offset = std::min(offset, text_.size());
    const auto next = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
    const std::size_t line = static_cast<std::size_t>(next - lineStarts_.begin()) - 1;
    const std::string_view text = Line(line);
    const std::size_t column = std::min(offset - lineStarts_[line], text.size());
    std::int64_t units = 0;
    for (std::size_t at = 0; at < column;) {
        const std::size_t bytes = CharacterBytes(text, at);
        units += Units(bytes, encoding);
        at += bytes;
    }
    return {static_cast<std::int64_t>(line), units};
}

Range TextDocument::RangeOf(std::size_t begin, std::size_t end, PositionEncoding encoding) const {
    return {PositionAt(begin, encoding), PositionAt(end, encoding)};
}

std::size_t TextDocument::OffsetOf(hsc::SourcePosition at) const {
    if (at.line < 1) return 0;
    const std::size_t line = std::min(static_cast<std::size_t>(at.line - 1), lineStarts_.size() - 1);
    // The lexer counts the first line's columns behind a byte order mark.
    std::size_t skip = 0;
    if (line == 0 && std::string_view(text_).substr(0, kByteOrderMark.size()) == kByteOrderMark) skip = kByteOrderMark.size();
    const std::size_t begin = lineStarts_[line] + skip;
    // Columns count characters, as Offset in UTF-32 does, on the line behind the mark.
    std::size_t offset = begin;
    const std::string_view text = Line(line).substr(skip);
    for (std::int64_t column = 1; column < at.column && offset - begin < text.size(); ++column) {
        offset += CharacterBytes(text, offset - begin);
    }
    return offset;
}

void TextDocument::Replace(std::size_t begin, std::size_t end, std::string_view text) {
    begin = std::min(begin, text_.size());
    end = std::clamp(end, begin, text_.size());
    text_.replace(begin, end - begin, text);
    IndexLines();
}

void TextDocument::SetText(std::string text) {
    text_ = std::move(text);
    IndexLines();
}

}  // namespace xsc::lsp

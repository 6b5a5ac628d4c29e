#pragma once
// An open document as the client edits it: its UTF-8 text, its version, and the start of each
// line, to turn the protocol's positions (line, character) into byte offsets and back.
//
// A position's character counts code units of the encoding agreed at initialization: UTF-16 (the
// protocol's default: a character beyond U+FFFF counts 2), UTF-8 bytes, or UTF-32 (characters,
// as xsc's own columns count them). Lines end at a line feed; a carriage return before it belongs
// to the line's end. A position past the end of its line means the line's end, one past the last
// line the end of the text, as the protocol asks. Bytes that are not UTF-8 count one unit each.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <QString>

#include "hsc/SourceForm.h"

namespace xsc::lsp {

enum class PositionEncoding { Utf8, Utf16, Utf32 };

struct Position {
    std::int64_t line = 0;       // from 0
    std::int64_t character = 0;  // from 0, in code units of the encoding
    bool operator==(const Position&) const = default;
};

struct Range {
    Position start;
    Position end;
};

class TextDocument {
public:
    TextDocument(QString uri, std::string text, std::int64_t version);

    const QString& Uri() const { return uri_; }
    const std::string& Text() const { return text_; }
    std::int64_t Version() const { return version_; }

    std::size_t Offset(Position position, PositionEncoding encoding) const;
    Position PositionAt(std::size_t offset, PositionEncoding encoding) const;
    Range RangeOf(std::size_t begin, std::size_t end, PositionEncoding encoding) const;
    // The byte offset of a line and column as xsc's messages count them (from 1, in characters).
    std::size_t OffsetOf(hsc::SourcePosition at) const;

    // Replaces the bytes from `begin` to `end` (an incremental change), or the whole text.
    void Replace(std::size_t begin, std::size_t end, std::string_view text);
    void SetText(std::string text);
    void SetVersion(std::int64_t version) { version_ = version; }

private:
    void IndexLines();
    std::string_view Line(std::size_t line) const;  // without its line end

    QString uri_;
    std::string text_;
    std::int64_t version_ = 0;
    std::vector<std::size_t> lineStarts_;
};

}  // namespace xsc::lsp

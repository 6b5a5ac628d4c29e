// Positions of the protocol against the document's bytes, in each encoding, and incremental
// edits: characters beyond U+FFFF count two UTF-16 units, a line's end and the text's end clamp.

#include <gtest/gtest.h>

#include "lsp/TextDocument.h"

namespace xsc::lsp {
namespace {

// "é" is 2 bytes, 1 UTF-16 unit; "𝄞" (U+1D11E) 4 bytes, 2 UTF-16 units.
const std::string kText = "(a \xC3\xA9 \xF0\x9D\x84\x9E x)\r\n(b)\n";

TEST(TextDocument, PositionsCountTheAgreedEncodingsUnits) {
    const TextDocument d("file:///t.hsc", kText, 1);
    const std::size_t x = kText.find('x');
    EXPECT_EQ(d.PositionAt(x, PositionEncoding::Utf8), (Position{0, 11}));
    EXPECT_EQ(d.PositionAt(x, PositionEncoding::Utf16), (Position{0, 8}));
    EXPECT_EQ(d.PositionAt(x, PositionEncoding::Utf32), (Position{0, 7}));
    for (const PositionEncoding e : {PositionEncoding::Utf8, PositionEncoding::Utf16, PositionEncoding::Utf32}) {
        for (std::size_t offset = 0; offset < kText.size(); ++offset) {
            // Every offset at a character's start comes back from its position.
            if ((static_cast<unsigned char>(kText[offset]) & 0xC0) == 0x80 || kText[offset] == '\n') continue;
            EXPECT_EQ(d.Offset(d.PositionAt(offset, e), e), offset) << offset;
        }
    }
    // The middle of the surrogate pair is no place of its own: it means the character's start.
    EXPECT_EQ(d.Offset({0, 6}, PositionEncoding::Utf16), kText.find('\xF0'));
    // Past a line's end: the line's end, before its CR LF; past the last line: the text's end.
    EXPECT_EQ(d.Offset({0, 99}, PositionEncoding::Utf16), kText.find('\r'));
    EXPECT_EQ(d.Offset({9, 0}, PositionEncoding::Utf16), kText.size());
    // xsc's own columns count characters, from 1.
    EXPECT_EQ(d.OffsetOf({1, 8}), x);
    EXPECT_EQ(d.OffsetOf({2, 2}), kText.find('b'));
}

TEST(TextDocument, IncrementalEditsReplaceTheirRangeAndLinesFollow) {
    TextDocument d("file:///t.hsc", kText, 1);
    const std::size_t begin = d.Offset({0, 3}, PositionEncoding::Utf16);
    const std::size_t end = d.Offset({0, 8}, PositionEncoding::Utf16);
    d.Replace(begin, end, "new\nline ");
    EXPECT_EQ(d.Text(), "(a new\nline x)\r\n(b)\n");
    EXPECT_EQ(d.Offset({2, 1}, PositionEncoding::Utf16), d.Text().find('b'));
    EXPECT_EQ(d.PositionAt(d.Text().size(), PositionEncoding::Utf16), (Position{3, 0}));
    // A BOM starts the first line's columns behind it, as the lexer counts them.
    const TextDocument bom("file:///b.hsc", "\xEF\xBB\xBF(x)", 1);
    EXPECT_EQ(bom.OffsetOf({1, 2}), 4u);
}

}  // namespace
}  // namespace xsc::lsp

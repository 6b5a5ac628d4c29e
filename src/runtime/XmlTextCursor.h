#pragma once
// Turns offsets into a decoded XML text (UTF-16 code units, as QXmlStreamReader counts them) into
// the line and column a user sees in an editor.
//
// Lines end at "\n", "\r\n" or a lone "\r". Columns count characters (code points) from 1, so a
// character outside the Basic Multilingual Plane counts once although it takes two code units.
// The cursor remembers where it stopped: asking for offsets in increasing order, as a parser
// does, costs one pass over the text in total.

#include <QString>
#include <cstdint>

namespace xsc {

struct XmlTextPosition {
    std::int64_t line = 1;
    std::int64_t column = 1;
};

class XmlTextCursor {
public:
    explicit XmlTextCursor(const QString& text) : text_(text) {}

    // Position of the character at `offset`; an offset at or past the end gives the position
    // just behind the last character.
    XmlTextPosition At(qsizetype offset);

private:
    bool IsLineBreak(qsizetype index) const;
    bool IsSecondHalfOfPair(qsizetype index) const;

    const QString& text_;
    qsizetype offset_ = 0;
    XmlTextPosition position_;
};

}  // namespace xsc

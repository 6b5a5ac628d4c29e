#include "runtime/XmlTextCursor.h"

#include <algorithm>

namespace xsc {

bool XmlTextCursor::IsLineBreak(qsizetype index) const {
    const QChar c = text_[index];
    if (c == u'\n') return true;
    // In "\r\n" the "\n" ends the line, so the pair counts as one break.
    return c == u'\r' && (index + 1 >= text_.size() || text_[index + 1] != u'\n');
}

bool XmlTextCursor::IsSecondHalfOfPair(qsizetype index) const {
    return index > 0 && text_[index].isLowSurrogate() && text_[index - 1].isHighSurrogate();
}

XmlTextPosition XmlTextCursor::At(qsizetype offset) {
    offset = std::clamp<qsizetype>(offset, 0, text_.size());
    if (offset < offset_) {
        offset_ = 0;
        position_ = XmlTextPosition{};
    }
    for (; offset_ < offset; ++offset_) {
        if (IsLineBreak(offset_)) {
            ++position_.line;
            position_.column = 1;
        } else if (!IsSecondHalfOfPair(offset_)) {
            ++position_.column;
        }
    }
    return position_;
}

}  // namespace xsc

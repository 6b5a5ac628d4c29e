#include "XmlHighlighting.h"

#include "EngineNames.h"

namespace xsc {
namespace {

using State = XmlLineState;

bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool EndsName(QChar c) { return IsBlank(c) || c == u'=' || c == u'>' || c == u'/' || c == u'"' || c == u'\'' || c == u'<'; }

class LineScanner {
public:
    LineScanner(QStringView line, const EngineNames& names) : line_(line), names_(names) {}

    XmlLine Scan(State start) {
        State state = Continue(start);
        while (state == State::Text && at_ < line_.size()) state = Markup();
        out_.end = state;
        return std::move(out_);
    }

private:
    void Mark(qsizetype start, qsizetype length, Highlight kind) {
        if (length > 0) out_.spans.push_back({static_cast<int>(start), static_cast<int>(length), kind});
    }

    // What a line that starts inside something does first.
    State Continue(State start) {
        switch (start) {
            case State::Text: return State::Text;
            case State::Comment: return Through(0, u"-->", Highlight::Comment, State::Comment);
            case State::CData: return Through(0, u"]]>", Highlight::String, State::CData);
            case State::Markup: return Through(0, u">", Highlight::Comment, State::Markup);
            case State::Tag: return Tag();
            case State::DoubleQuoted:
            case State::SingleQuoted: {
                const State quoted = Value(0, 0, start == State::DoubleQuoted ? u'"' : u'\'', {});
                return quoted == State::Text ? Tag() : quoted;
            }
        }
        return State::Text;
    }

    // From `from` through the next `close`, or to the line's end (the state goes on).
    State Through(qsizetype from, QStringView close, Highlight kind, State open) {
        const qsizetype found = line_.indexOf(close, at_);
        at_ = found < 0 ? line_.size() : found + close.size();
        Mark(from, at_ - from, kind);
        return found < 0 ? open : State::Text;
    }

    // Text up to the next "<", then what it opens.
    State Markup() {
        const qsizetype open = line_.indexOf(u'<', at_);
        if (open < 0) {
            at_ = line_.size();
            return State::Text;
        }
        const QStringView rest = line_.mid(open);
        if (rest.startsWith(u"<!--")) {
            at_ = open + 4;
            return Through(open, u"-->", Highlight::Comment, State::Comment);
        }
        if (rest.startsWith(u"<![CDATA[")) {
            at_ = open + 9;
            return Through(open, u"]]>", Highlight::String, State::CData);
        }
        if (rest.startsWith(u"<?") || rest.startsWith(u"<!")) {
            at_ = open + 2;
            return Through(open, u">", Highlight::Comment, State::Markup);
        }
        at_ = open + (rest.startsWith(u"</") ? 2 : 1);
        const qsizetype name = at_;
        Mark(name, Name(), Highlight::Element);
        return Tag();
    }

    // The length of the name at the scan position, which moves behind it.
    qsizetype Name() {
        const qsizetype start = at_;
        while (at_ < line_.size() && !EndsName(line_[at_])) ++at_;
        return at_ - start;
    }

    // Inside a tag: attributes up to its ">".
    State Tag() {
        QStringView attribute;
        while (at_ < line_.size()) {
            const QChar c = line_[at_];
            if (c == u'>') {
                ++at_;
                return State::Text;
            }
            if (c == u'"' || c == u'\'') {
                const State quoted = Value(at_, at_ + 1, c, attribute);
                if (quoted != State::Text) return quoted;
            } else if (EndsName(c)) {
                ++at_;
            } else {
                const qsizetype start = at_;
                attribute = line_.mid(start, Name());
                Mark(start, attribute.size(), Highlight::Attribute);
            }
        }
        return State::Tag;
    }

    // A quoted value from `from` (its quote, or the line's start inside one) whose text starts at
    // `textStart`.
    State Value(qsizetype from, qsizetype textStart, QChar quote, QStringView attribute) {
        const qsizetype close = line_.indexOf(quote, textStart);
        at_ = close < 0 ? line_.size() : close + 1;
        Mark(from, at_ - from, Highlight::Value);
        if (close < 0) return quote == u'"' ? State::DoubleQuoted : State::SingleQuoted;
        NameInValue(attribute, line_.mid(textStart, close - textStart), textStart);
        return State::Text;
    }

    void NameInValue(QStringView attribute, QStringView name, qsizetype start) {
        if (name.isEmpty()) return;
        if (attribute == u"Command") {
            Mark(start, name.size(), names_.IsFunction(name) ? Highlight::Function : Highlight::Unknown);
        } else if (attribute == u"ValueCommand") {
            Mark(start, name.size(), names_.IsGlobal(name) ? Highlight::Global : Highlight::Unknown);
        }
    }

    QStringView line_;
    const EngineNames& names_;
    qsizetype at_ = 0;
    XmlLine out_;
};

}  // namespace

XmlLine HighlightXmlLine(QStringView line, XmlLineState start, const EngineNames& names) {
    return LineScanner(line, names).Scan(start);
}

}  // namespace xsc

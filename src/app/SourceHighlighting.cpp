#include "SourceHighlighting.h"

#include <algorithm>
#include <optional>

#include "EngineNames.h"
#include "hsc/Lexer.h"
#include "hsc/Literals.h"

namespace xsc {
namespace {

using Open = SourceLineState::Open;

bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// Characters beyond ASCII are UTF-8 bytes to the lexer, which never end a word.
bool IsWordCharacter(QChar c) { return c.unicode() >= 0x80 || hsc::IsAtomCharacter(static_cast<char>(c.unicode())); }

// A literal whatever its place: a number, or a boolean word (the longest is "false").
bool IsLiteral(QStringView word) {
    if (word.size() > 64) return false;
    const QByteArray utf8 = word.toUtf8();
    const std::string_view text(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    return hsc::IsNumber(text) || (text.size() <= 5 && hsc::ReadBoolean(text).value.has_value());
}

class LineScanner {
public:
    LineScanner(QStringView line, const EngineNames& names, const QSet<QString>& scripts)
        : line_(line), names_(names), scripts_(scripts) {}

    SourceLine Scan(SourceLineState start) {
        callNext_ = start.callNext;
        if (start.open == Open::BlockComment && !BlockComment(0, 0)) return Finish(Open::BlockComment);
        if (start.open == Open::String && !String(0, 0)) return Finish(Open::String);
        while (at_ < line_.size()) {
            const QChar c = line_[at_];
            if (IsBlank(c)) {
                ++at_;
            } else if (c == u';' && at_ + 1 < line_.size() && line_[at_ + 1] == u'*') {
                if (!BlockComment(at_, at_ + 2)) return Finish(Open::BlockComment);
            } else if (c == u';') {
                Mark(at_, line_.size() - at_, Highlight::Comment);
                at_ = line_.size();
            } else if (c == u'(' || c == u')') {
                EndHeader();
                callNext_ = c == u'(';
                ++at_;
            } else if (c == u'"') {
                callNext_ = false;
                if (header_) header_->push_back({-1, 0});  // a quoted name: not a word of the header
                if (!String(at_, at_ + 1)) return Finish(Open::String);
            } else {
                Word();
            }
        }
        return Finish(Open::Nothing);
    }

private:
    struct WordAt {
        qsizetype start;
        qsizetype length;
    };

    void Mark(qsizetype start, qsizetype length, Highlight kind) {
        out_.spans.push_back({static_cast<int>(start), static_cast<int>(length), kind});
    }

    // A block comment from `from` (its ";*", or the line's start inside one) to its "*;", searched
    // from `closeFrom`, or to the line's end; whether it closed.
    bool BlockComment(qsizetype from, qsizetype closeFrom) {
        const qsizetype close = line_.indexOf(u"*;", closeFrom);
        return Through(from, close < 0 ? -1 : close + 2, Highlight::Comment);
    }

    // A string from `from` (its quote, or the line's start inside one) to its closing quote.
    bool String(qsizetype from, qsizetype closeFrom) {
        const qsizetype close = line_.indexOf(u'"', closeFrom);
        return Through(from, close < 0 ? -1 : close + 1, Highlight::String);
    }

    bool Through(qsizetype from, qsizetype end, Highlight kind) {
        at_ = end < 0 ? line_.size() : end;
        Mark(from, at_ - from, kind);
        return end >= 0;
    }

    void Word() {
        const qsizetype start = at_;
        while (at_ < line_.size() && IsWordCharacter(line_[at_])) ++at_;
        const WordAt word{start, at_ - start};
        if (header_) {
            header_->push_back(word);
        } else if (callNext_) {
            callNext_ = false;
            CalledWord(word);
        } else {
            ArgumentWord(word);
        }
    }

    QStringView Text(WordAt word) const { return line_.mid(word.start, word.length); }

    void CalledWord(WordAt word) {
        const QStringView text = Text(word);
        if (text == u"script" || text == u"global") {
            Mark(word.start, word.length, Highlight::Keyword);
            if (text == u"script") header_.emplace();
        } else if (IsLiteral(text)) {
            Mark(word.start, word.length, Highlight::Number);
        } else if (names_.IsFunction(text)) {
            Mark(word.start, word.length, Highlight::Function);
        } else if (names_.IsGlobal(text)) {
            Mark(word.start, word.length, Highlight::Global);  // the test of a cond clause
        } else {
            const bool script = scripts_.contains(text.toString());
            Mark(word.start, word.length, script ? Highlight::Function : Highlight::Unknown);
            out_.calledNames.emplace_back(text.toString(), script);
        }
    }

    void ArgumentWord(WordAt word) {
        const QStringView text = Text(word);
        if (IsLiteral(text)) {
            Mark(word.start, word.length, Highlight::Number);
        } else if (names_.IsGlobal(text)) {
            Mark(word.start, word.length, Highlight::Global);
        }
    }

    // (script <type> [<return type>] <name> ...): the words of the header that stand on the line
    // of "script", up to the first list.
    void EndHeader() {
        if (!header_) return;
        const std::vector<WordAt> words = std::move(*header_);
        header_.reset();
        if (words.empty() || words[0].start < 0) return;
        const QStringView type = Text(words[0]);
        Mark(words[0].start, words[0].length, names_.IsScriptType(type) ? Highlight::Keyword : Highlight::Unknown);
        std::size_t name = 1;
        if (words.size() > 2 && words[1].start >= 0 && names_.IsValueType(Text(words[1]))) {
            Mark(words[1].start, words[1].length, Highlight::Keyword);
            name = 2;
        }
        if (name < words.size() && words[name].start >= 0) {
            Mark(words[name].start, words[name].length, Highlight::Function);
            if (type == u"static" || type == u"stub") out_.declaredScripts.push_back(Text(words[name]).toString());
        }
        for (std::size_t i = name + 1; i < words.size(); ++i) {
            if (words[i].start >= 0) ArgumentWord(words[i]);
        }
    }

    SourceLine Finish(Open open) {
        EndHeader();
        std::sort(out_.spans.begin(), out_.spans.end(),
                  [](const HighlightSpan& a, const HighlightSpan& b) { return a.start < b.start; });
        out_.end = {open, open == Open::Nothing && callNext_};
        return std::move(out_);
    }

    QStringView line_;
    const EngineNames& names_;
    const QSet<QString>& scripts_;
    qsizetype at_ = 0;
    bool callNext_ = false;
    std::optional<std::vector<WordAt>> header_;
    SourceLine out_;
};

}  // namespace

SourceLineState SourceLineState::Decoded(int state) {
    if (state < 0) return {};
    return {static_cast<Open>(state & 3), (state & 4) != 0};
}

SourceLine HighlightSourceLine(QStringView line, SourceLineState start, const EngineNames& names,
                               const QSet<QString>& staticScripts) {
    return LineScanner(line, names, staticScripts).Scan(start);
}

}  // namespace xsc

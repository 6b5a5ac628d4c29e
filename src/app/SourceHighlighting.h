#pragma once
// Highlighting of the source language one line at a time, as the script field's highlighter asks
// for it. The words are told apart as the source's lexer (hsc/Lexer.h) tells them; what a line
// cannot know by itself comes in its state (a block comment or a string still open at its start,
// a "(" whose called name stands on the next line) and in the set of the source's static scripts.
//
// Colouring needs no check of the program: a name that is called is an engine function of the
// build, a static script of the source, or unknown (the compile will refuse it); any other name is
// an engine global, a literal, or a name the check resolves by its place (left as it is).

#include <utility>
#include <vector>

#include <QSet>
#include <QString>
#include <QStringView>

#include "HighlightSpan.h"

namespace xsc {

class EngineNames;

// A line's state at its start or end, kept by the highlighter between lines.
struct SourceLineState {
    enum class Open { Nothing, BlockComment, String };
    Open open = Open::Nothing;
    bool callNext = false;  // the line ended with "(": its first word is called

    int Encoded() const { return static_cast<int>(open) | (callNext ? 4 : 0); }
    static SourceLineState Decoded(int state);  // -1 (no line before) is the start of the text
};

struct SourceLine {
    HighlightSpans spans;  // in order, none overlapping
    SourceLineState end;
    // Static and stub scripts this line declares: (script static [type] name ...).
    std::vector<QString> declaredScripts;
    // The names the line calls that are no engine function: each with whether it was coloured as
    // a static script of the source (the highlighter colours it again when that changes).
    std::vector<std::pair<QString, bool>> calledNames;
};

SourceLine HighlightSourceLine(QStringView line, SourceLineState start, const EngineNames& names,
                               const QSet<QString>& staticScripts);

}  // namespace xsc

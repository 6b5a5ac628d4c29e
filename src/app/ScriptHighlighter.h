#pragma once
// Syntax highlighting of the script field in either language. The language is the one the compile
// takes the text for (its first character that is not blank); the names are those of the build
// the compile is for (the loaded map's, `custom` before a map is loaded).
//
// The toolkit highlights a line again only when it changed, or when the state it ends in (a block
// comment, a string, a tag left open) changed the next one; nothing is checked or parsed whole per
// keystroke. Two things a line cannot know by itself are kept beside the lines and settled once
// the change has been taken in: the language, which only an edit before the text's first
// character can change (then every line is highlighted again), and the set of the source's static
// scripts, whose calls stand on other lines (then only the lines that call a name whose colour
// changed are highlighted again).

#include <QSet>
#include <QString>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QTimer>

#include "EngineNames.h"
#include "HighlightSpan.h"
#include "compile/ScriptLanguageChoice.h"

class QTextDocument;

namespace xsc {

class ScriptHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    // Highlights `document` from now on; it owns the highlighter.
    explicit ScriptHighlighter(QTextDocument* document);

    // Names of another build: the whole text is highlighted again when it differs.
    void SetBuild(engine::EngineBuild build);
    ScriptLanguage Language() const { return language_; }

    // How each kind of text looks.
    static QTextCharFormat Format(Highlight kind);

    // Lines highlighted since the highlighter was made: for the benchmark and the tests that hold
    // an edit to highlighting only what it changed.
    long long LinesHighlighted() const { return linesHighlighted_; }

protected:
    void highlightBlock(const QString& text) override;

private:
    void HighlightSource(const QString& text);
    void HighlightXml(const QString& text);
    void Apply(const HighlightSpans& spans);

    void TakeChange(int position, int removed, int added);
    void TakeBlockCountChange();
    ScriptLanguage DetectLanguage();
    void Settle();
    void SettleStaticScripts();

    EngineNames names_;
    ScriptLanguage language_ = ScriptLanguage::Xml;
    int languageCharacter_ = -1;  // position of the text's first character that is not blank
    QSet<QString> staticScripts_;
    bool rescanScripts_ = false;
    bool rehighlightAll_ = false;
    QTimer settle_;  // runs Settle once the change has been taken in
    long long linesHighlighted_ = 0;
};

}  // namespace xsc

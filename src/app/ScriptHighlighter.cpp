#include "ScriptHighlighter.h"

#include <QColor>
#include <QTextBlock>
#include <QTextBlockUserData>
#include <QTextDocument>

#include "SourceHighlighting.h"
#include "XmlHighlighting.h"

namespace xsc {
namespace {

// What a line of source declares and calls, kept with the line.
struct ScriptNamesOfLine : QTextBlockUserData {
    std::vector<QString> declared;
    std::vector<std::pair<QString, bool>> called;
};

const ScriptNamesOfLine* NamesOf(const QTextBlock& block) {
    return static_cast<const ScriptNamesOfLine*>(block.userData());
}

QTextCharFormat Coloured(const char* colour, bool bold = false, bool italic = false) {
    QTextCharFormat format;
    format.setForeground(QColor(QLatin1String(colour)));
    if (bold) format.setFontWeight(QFont::Bold);
    if (italic) format.setFontItalic(true);
    return format;
}

QTextCharFormat WavyUnderline() {
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    format.setUnderlineColor(QColor(QLatin1String("#d00000")));
    return format;
}

bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

}  // namespace

QTextCharFormat ScriptHighlighter::Format(Highlight kind) {
    switch (kind) {
        case Highlight::Comment: return Coloured("#6a737d", false, true);
        case Highlight::String: return Coloured("#a31515");
        case Highlight::Number: return Coloured("#1750eb");
        case Highlight::Keyword: return Coloured("#0033b3", true);
        case Highlight::Function: return Coloured("#6f42c1");
        case Highlight::Global: return Coloured("#00778a");
        case Highlight::Unknown: return WavyUnderline();
        case Highlight::Element: return Coloured("#0033b3");
        case Highlight::Attribute: return Coloured("#9c5d00");
        case Highlight::Value: return Coloured("#067d17");
    }
    return {};
}

ScriptHighlighter::ScriptHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(static_cast<QObject*>(document)), names_(engine::kDefaultBuild) {
    settle_.setSingleShot(true);
    settle_.setInterval(0);
    connect(&settle_, &QTimer::timeout, this, &ScriptHighlighter::Settle);
    // Connected before the toolkit's own highlighting of a change, so that it highlights the
    // changed lines in the language the change leaves.
    connect(document, &QTextDocument::contentsChange, this, &ScriptHighlighter::TakeChange);
    connect(document, &QTextDocument::blockCountChanged, this, &ScriptHighlighter::TakeBlockCountChange);
    setDocument(document);
    language_ = DetectLanguage();
}

void ScriptHighlighter::SetBuild(engine::EngineBuild build) {
    if (build == names_.Build()) return;
    names_ = EngineNames(build);
    rehighlight();
}

void ScriptHighlighter::highlightBlock(const QString& text) {
    ++linesHighlighted_;
    if (language_ == ScriptLanguage::Source) {
        HighlightSource(text);
    } else {
        HighlightXml(text);
    }
}

void ScriptHighlighter::HighlightSource(const QString& text) {
    SourceLine line = HighlightSourceLine(text, SourceLineState::Decoded(previousBlockState()), names_, staticScripts_);
    Apply(line.spans);
    setCurrentBlockState(line.end.Encoded());

    const ScriptNamesOfLine* before = static_cast<const ScriptNamesOfLine*>(currentBlockUserData());
    if ((before ? before->declared : std::vector<QString>()) != line.declaredScripts) {
        // Later lines may call them at once; the lines before are settled afterwards.
        for (const QString& name : line.declaredScripts) staticScripts_.insert(name);
        rescanScripts_ = true;
        settle_.start();
    }
    if (line.declaredScripts.empty() && line.calledNames.empty()) {
        setCurrentBlockUserData(nullptr);
        return;
    }
    auto* names = new ScriptNamesOfLine;
    names->declared = std::move(line.declaredScripts);
    names->called = std::move(line.calledNames);
    setCurrentBlockUserData(names);
}

void ScriptHighlighter::HighlightXml(const QString& text) {
    const XmlLine line = HighlightXmlLine(text, static_cast<XmlLineState>(std::max(previousBlockState(), 0)), names_);
    Apply(line.spans);
    setCurrentBlockState(static_cast<int>(line.end));
    if (const ScriptNamesOfLine* before = NamesOf(currentBlock()); before && !before->declared.empty()) {
        rescanScripts_ = true;
        settle_.start();
    }
    setCurrentBlockUserData(nullptr);
}

void ScriptHighlighter::Apply(const HighlightSpans& spans) {
    for (const HighlightSpan& span : spans) setFormat(span.start, span.length, Format(span.kind));
}

// Only an edit at or before the first character that is not blank can change the language.
void ScriptHighlighter::TakeChange(int position, int, int) {
    if (languageCharacter_ >= 0 && position > languageCharacter_) return;
    const ScriptLanguage language = DetectLanguage();
    if (language == language_) return;
    language_ = language;
    rehighlightAll_ = true;
    settle_.start();
}

// Lines taken out of the text take what they declared with them.
void ScriptHighlighter::TakeBlockCountChange() {
    if (staticScripts_.isEmpty()) return;
    rescanScripts_ = true;
    settle_.start();
}

// The language the compile reads the text in, from its first character that is not blank (a byte
// order mark at its start skipped, as the compile skips it).
ScriptLanguage ScriptHighlighter::DetectLanguage() {
    languageCharacter_ = -1;
    bool first = true;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next(), first = false) {
        const QString text = block.text();
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (IsBlank(text[i]) || (first && i == 0 && text[i] == QChar(0xFEFF))) continue;
            languageCharacter_ = block.position() + static_cast<int>(i);
            return DetectScriptLanguage(QString(text[i]).toUtf8().toStdString());
        }
    }
    return DetectScriptLanguage({});
}

void ScriptHighlighter::Settle() {
    if (rehighlightAll_) {
        rehighlightAll_ = false;
        rehighlight();
    }
    if (rescanScripts_) {
        rescanScripts_ = false;
        SettleStaticScripts();
    }
}

// The source's static scripts are what its lines declare now; a line that coloured a call by
// another set is highlighted again.
void ScriptHighlighter::SettleStaticScripts() {
    QSet<QString> declared;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (const ScriptNamesOfLine* names = NamesOf(block)) {
            for (const QString& name : names->declared) declared.insert(name);
        }
    }
    staticScripts_ = std::move(declared);
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const ScriptNamesOfLine* names = NamesOf(block);
        if (names == nullptr) continue;
        for (const auto& [name, asScript] : names->called) {
            if (staticScripts_.contains(name) != asScript) {
                rehighlightBlock(block);
                break;
            }
        }
    }
}

}  // namespace xsc

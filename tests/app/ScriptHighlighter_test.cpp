// The script field's highlighting, read back from the formats the toolkit laid out: a sample of
// each language as a whole (golden file: each line, then under it one letter per character for
// what it was marked as), then edits, each of which must highlight only the lines it changed and
// those whose colour it changed, and the message box's cut of long texts.

#include <QApplication>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <gtest/gtest.h>

#include "MessageBox.h"
#include "ScriptHighlighter.h"
#include "support/TestFiles.h"

namespace xsc::test {
namespace {

constexpr Highlight kKinds[] = {Highlight::Comment, Highlight::String,  Highlight::Number,    Highlight::Keyword,
                                Highlight::Function, Highlight::Global, Highlight::Unknown,   Highlight::Element,
                                Highlight::Attribute, Highlight::Value};
constexpr char kLetters[] = "csnkfg?eav";

// "c" comment, "s" string, "n" number, "k" keyword, "f" function, "g" global, "?" unknown,
// "e" element, "a" attribute, "v" value; a blank for plain text.
std::string Marks(const QTextBlock& block) {
    std::string marks(static_cast<std::size_t>(block.length() - 1), ' ');
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        char letter = '!';
        for (std::size_t k = 0; k < std::size(kKinds); ++k) {
            if (range.format == ScriptHighlighter::Format(kKinds[k])) letter = kLetters[k];
        }
        for (int i = range.start; i < range.start + range.length; ++i) marks.at(static_cast<std::size_t>(i)) = letter;
    }
    while (!marks.empty() && marks.back() == ' ') marks.pop_back();
    return marks;
}

std::string Rendered(const QTextDocument& document) {
    std::string out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        out += block.text().toStdString() + "\n";
        const std::string marks = Marks(block);
        if (!marks.empty()) out += marks + "\n";
    }
    return out;
}

// A document laid out as the script field lays it out, with the highlighter, and every change
// settled as the event loop would.
struct Highlighted {
    explicit Highlighted(const QString& text) {
        document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
        highlighter = new ScriptHighlighter(&document);
        document.setPlainText(text);
        Settle();
    }
    void Settle() { QCoreApplication::processEvents(); }
    std::string Line(int number) const { return Marks(document.findBlockByNumber(number - 1)); }
    // Inserts `text` at a line and column (from 1), or removes `remove` characters there; returns
    // how many lines that highlighted.
    long long Edit(int line, int column, const QString& text, int remove = 0) {
        const long long before = highlighter->LinesHighlighted();
        QTextCursor cursor(document.findBlockByNumber(line - 1));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column - 1);
        cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, remove);
        cursor.insertText(text);
        Settle();
        return highlighter->LinesHighlighted() - before;
    }

    QTextDocument document;
    ScriptHighlighter* highlighter = nullptr;  // owned by the document
};

const QString kSource = QStringLiteral(
    "; a line comment (script static fake) ;* not a block\n"
    ";* a block comment\n"
    "   over lines *; (sleep 1) ;**;\n"
    "(script static boolean ready\n"
    "  (> (ai_living_count enc_1) 2.5))\n"
    "(script dormant later (ready) (later_script))\n"
    "(script startup main\n"
    "  (wake later)\n"
    "  (if (ready) (print \"a string\n"
    "(over) lines\") (set pad3_scale -1e3))\n"
    "  (sv_say \"custom only\") (sv_map_restart)\n"
    "  (no_such_function TRUE off none cheat_deathless_player)\n"
    "  (cond (cheat_deathless_player (sleep 1)) (true (sleep 2)))\n"
    "  (\n"
    "    sleep 5) (\"quoted\" x) (pad3_scale))\n"
    "(script stub real later_script 1.5)\n"
    "(script wrong_type name)\n");

const QString kXml = QStringLiteral(
    "<?xml version=\"1.0\"?>\n"
    "<!-- a comment\n"
    "     over lines --> <scripts>\n"
    "  <script NameAttr=\"a\" TypeAttr=\"0\" ReTypeAttr=\"4\">\n"
    "    <ScriptCommand Command=\"print\" EngineId=\"28\"\n"
    "                   ValueType=\"4\">\n"
    "      <ScriptValue ValueType='9' Value=\"a value\n"
    "over lines\" ExpType=\"9\"/>\n"
    "      <GlobalValue ValueType=\"6\" ValueCommand=\"pad3_scale\"/>\n"
    "      <GlobalReference ValueType=\"6\" ValueCommand='no_such_global'/>\n"
    "    </ScriptCommand><ScriptCommand Command=\"sleeep\" EngineId=\"19\" ValueType=\"4\"/>\n"
    "    <![CDATA[ text\n"
    "    ]]> <ScriptCall Script=\"a\" ValueType=\"4\" />\n"
    "  </script>\n"
    "</scripts>\n");

TEST(ScriptHighlighting, EachLanguageAsAWhole) {
    const Highlighted source(kSource);
    const Highlighted xml(kXml);
    EXPECT_EQ(source.highlighter->Language(), ScriptLanguage::Source);
    EXPECT_EQ(xml.highlighter->Language(), ScriptLanguage::Xml);
    ExpectGolden("app/highlighting.expected", "== source\n" + Rendered(source.document) + "== XML\n" + Rendered(xml.document));
}

// A program of 200 lines that calls helper before any script declares it.
QString Program() {
    QString text = QStringLiteral("(script startup main\n");
    for (int line = 2; line < 200; ++line) text += line == 100 ? QStringLiteral("  (helper)\n") : QStringLiteral("  (sleep 1)\n");
    return text + QStringLiteral("  (sv_say \"hi\"))");
}

TEST(ScriptHighlighting, AnEditHighlightsOnlyTheLinesItChangesTheColourOf) {
    Highlighted h(Program());
    EXPECT_EQ(h.Line(100), "   ??????");
    EXPECT_EQ(h.Edit(50, 11, QStringLiteral("2")), 1);  // (sleep 12)
    EXPECT_EQ(h.Line(50), "   fffff nn");

    // A declaration colours the calls of other lines, and its removal uncolours them.
    EXPECT_EQ(h.Edit(200, 17, QStringLiteral("\n(script static void helper)")), 3);
    EXPECT_EQ(h.Line(100), "   ffffff");
    EXPECT_EQ(h.Edit(201, 21, QString(), 1), 2);  // (script static void elper)
    EXPECT_EQ(h.Line(100), "   ??????");
    EXPECT_EQ(h.Edit(201, 21, QStringLiteral("h")), 2);
    EXPECT_EQ(h.Line(100), "   ffffff");
    EXPECT_EQ(h.Edit(200, 17, QString(), 28), 2);  // the line of the declaration taken out
    EXPECT_EQ(h.document.blockCount(), 200);
    EXPECT_EQ(h.Line(100), "   ??????");

    // A block comment takes the lines up to its end; closing it gives them back.
    EXPECT_EQ(h.Edit(10, 1, QStringLiteral(";*")), 191);
    EXPECT_EQ(h.Line(150), std::string(11, 'c'));
    EXPECT_EQ(h.Edit(20, 12, QStringLiteral("*;")), 181);
    EXPECT_EQ(h.Line(19), std::string(11, 'c'));
    EXPECT_EQ(h.Line(21), "   fffff n");

    // The names follow the build.
    EXPECT_EQ(h.Line(200), "   ffffff ssss");
    h.highlighter->SetBuild(engine::EngineBuild::Retail);
    EXPECT_EQ(h.Line(200), "   ?????? ssss");
    h.highlighter->SetBuild(engine::EngineBuild::Custom);
    EXPECT_EQ(h.Line(200), "   ffffff ssss");

    // The first character chooses the language: the text is highlighted again as a whole when it
    // changes, and only then.
    const long long wholeText = h.document.blockCount() + 1;  // the changed line, then every line
    EXPECT_EQ(h.Edit(1, 1, QStringLiteral("<a/>")), wholeText);
    EXPECT_EQ(h.highlighter->Language(), ScriptLanguage::Xml);
    EXPECT_EQ(h.Line(1), " e");
    EXPECT_EQ(h.Line(50), "");
    EXPECT_EQ(h.Edit(1, 1, QStringLiteral(" ")), 1);
    EXPECT_EQ(h.Edit(1, 2, QString(), 4), wholeText);
    EXPECT_EQ(h.highlighter->Language(), ScriptLanguage::Source);
    EXPECT_EQ(h.Line(50), "   fffff nn");
}

TEST(MessageBoxText, ALongTextShowsItsFirstLinesAndHowManyMoreTheDetailsHold) {
    const struct {
        int lines;
        QString shown;
    } cases[] = {
        {1, QStringLiteral("(5 more lines: Show Details...)")},
        {4, QStringLiteral("1\n2\n3\n(2 more lines: Show Details...)")},
        {5, QStringLiteral("1\n2\n3\n4\n5")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShownPart(QStringLiteral("1\n2\n3\n4\n5"), c.lines), c.shown) << c.lines;
    }
}

}  // namespace
}  // namespace xsc::test

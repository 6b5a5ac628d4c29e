// The script field's highlighting of a source program at the engine's node limit (about 5,400
// lines): the whole program highlighted once, and one keystroke in it, in the field as the window
// makes it (a plain text field laid out offscreen, with and without the highlighter, so that the
// highlighting's share of a keystroke shows). A keystroke types a character into a word in the
// middle of the program, or takes one out; Enter splits a line; a double quote opens a string
// that runs to the end of the program (every line after it changes colour: the worst case).
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/xsc_highlight_bench

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <memory>

#include "ScriptField.h"
#include "ScriptHighlighter.h"
#include "SourceProgram.h"

namespace {

// With a static script, whose calls other lines colour, so that a change of the line count
// gathers the declared scripts again.
const QString& Program() {
    static const QString program = QString::fromStdString(xsc::bench::ProgramAtTheNodeLimit()) +
                                   QStringLiteral("\n(script static boolean ready\n  (game_is_cooperative))\n");
    return program;
}

// The script field as the window makes it, holding the program, with the highlighter or without.
struct Field {
    explicit Field(bool highlighted) {
        field.resize(323, 348);
        if (highlighted) highlighter = new xsc::ScriptHighlighter(field.document());
        field.setPlainText(Program());
        QCoreApplication::processEvents();
        // The cursor inside a word ("sleep" or the like) in the middle of the program.
        QTextCursor cursor(field.document()->findBlockByNumber(field.document()->blockCount() / 2));
        cursor.movePosition(QTextCursor::NextWord);
        cursor.movePosition(QTextCursor::Right);
        field.setTextCursor(cursor);
    }
    void Key(int key, const QString& text = QString()) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&field, &press);
        QCoreApplication::processEvents();  // what the highlighter settles after the change
    }
    long long Lines() const { return highlighter ? highlighter->LinesHighlighted() : 0; }

    xsc::ScriptField field;
    xsc::ScriptHighlighter* highlighter = nullptr;  // owned by the field's document
};

void BM_HighlightWholeProgram(benchmark::State& state) {
    Field f(true);
    for (auto _ : state) {
        f.highlighter->rehighlight();
        QCoreApplication::processEvents();
    }
    state.counters["lines"] = f.field.document()->blockCount();
}
BENCHMARK(BM_HighlightWholeProgram)->Unit(benchmark::kMillisecond);

// Putting the program into the field (a paste, or the screenshot's setPlainText): layout and all.
void BM_SetProgramIntoTheField(benchmark::State& state) {
    const bool highlighted = state.range(0) != 0;
    xsc::ScriptField field;
    field.resize(323, 348);
    if (highlighted) new xsc::ScriptHighlighter(field.document());
    for (auto _ : state) {
        field.setPlainText(Program());
        QCoreApplication::processEvents();
    }
    state.SetLabel(highlighted ? "highlighted" : "plain");
}
BENCHMARK(BM_SetProgramIntoTheField)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A character typed, then taken out again with Backspace: two keystrokes an iteration.
void BM_KeystrokeInAWord(benchmark::State& state) {
    const bool highlighted = state.range(0) != 0;
    Field f(highlighted);
    const long long before = f.Lines();
    for (auto _ : state) {
        f.Key(Qt::Key_X, QStringLiteral("x"));
        f.Key(Qt::Key_Backspace);
    }
    state.SetItemsProcessed(2 * state.iterations());
    state.counters["keystroke_us"] = benchmark::Counter(static_cast<double>(2 * state.iterations()),
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["lines_per_keystroke"] = static_cast<double>(f.Lines() - before) / (2.0 * static_cast<double>(state.iterations()));
    state.SetLabel(highlighted ? "highlighted" : "plain");
}
BENCHMARK(BM_KeystrokeInAWord)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Enter, then Backspace: the line count changes, so the declared scripts are gathered again from
// every line.
void BM_KeystrokeEnter(benchmark::State& state) {
    const bool highlighted = state.range(0) != 0;
    Field f(highlighted);
    for (auto _ : state) {
        f.Key(Qt::Key_Return, QStringLiteral("\r"));
        f.Key(Qt::Key_Backspace);
    }
    state.counters["keystroke_us"] = benchmark::Counter(static_cast<double>(2 * state.iterations()),
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetLabel(highlighted ? "highlighted" : "plain");
}
BENCHMARK(BM_KeystrokeEnter)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A double quote that opens a string to the end of the program, then Backspace that closes it.
void BM_KeystrokeOpeningAString(benchmark::State& state) {
    Field f(true);
    const long long before = f.Lines();
    for (auto _ : state) {
        f.Key(Qt::Key_QuoteDbl, QStringLiteral("\""));
        f.Key(Qt::Key_Backspace);
    }
    state.counters["keystroke_us"] = benchmark::Counter(static_cast<double>(2 * state.iterations()),
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["lines_per_keystroke"] = static_cast<double>(f.Lines() - before) / (2.0 * static_cast<double>(state.iterations()));
}
BENCHMARK(BM_KeystrokeOpeningAString)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

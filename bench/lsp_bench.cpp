// The language server on a program at the engine's node limit (about 5,400 lines): the check and
// publication of diagnostics after an edit (the work the debounce's timer starts), and completion
// of a function's name and of an argument in the middle of the program. Each iteration is one
// message handled as the client sends it, framed and parsed.
//
//   build/release/bench/xsc_bench --benchmark_filter=Lsp

#include <benchmark/benchmark.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "SourceProgram.h"
#include "lsp/MessageFraming.h"
#include "lsp/Server.h"

namespace {

using xsc::lsp::Frame;
using xsc::lsp::Server;

constexpr std::string_view kStatement = "  (sleep ";

QByteArray Message(const QJsonObject& message) { return QJsonDocument(message).toJson(QJsonDocument::Compact); }

// A server with the program open, and the line in its middle where the requests are made.
struct OpenProgram {
    std::size_t sent = 0;
    Server server{[this](const QJsonObject&) { ++sent; }};
    std::int64_t middleLine = 0;
    std::string middleText;

    OpenProgram() {
        const std::string program = xsc::bench::ProgramAtTheNodeLimit();
        Send({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", QJsonObject{{"capabilities", QJsonObject{}}}}});
        Send({{"jsonrpc", "2.0"},
              {"method", "textDocument/didOpen"},
              {"params", QJsonObject{{"textDocument", QJsonObject{{"uri", "file:///bench/level.hsc"}, {"version", 1},
                                                                     {"text", QString::fromStdString(program)}}}}}});
        server.PublishPending();
        // A statement in the middle of the program: "  (sleep 241)".
        const std::int64_t lines = std::count(program.begin(), program.end(), '\n');
        std::size_t at = 0;
        for (std::int64_t line = 0; line < lines / 2; ++line) at = program.find('\n', at) + 1;
        for (middleLine = lines / 2; program.compare(at, kStatement.size(), kStatement) != 0; ++middleLine) {
            at = program.find('\n', at) + 1;
        }
        middleText = program.substr(at, program.find('\n', at) - at);
    }
    void Send(const QJsonObject& message) { server.Receive(Frame{Message(message), {}}); }
};

QJsonObject Change(std::int64_t version, std::int64_t line, const QString& text) {
    const QJsonObject start{{"line", static_cast<qint64>(line)}, {"character", 2}};
    const QJsonObject end{{"line", static_cast<qint64>(line)}, {"character", 2}};
    return {{"jsonrpc", "2.0"},
            {"method", "textDocument/didChange"},
            {"params", QJsonObject{{"textDocument", QJsonObject{{"uri", "file:///bench/level.hsc"}, {"version", static_cast<qint64>(version)}}},
                                   {"contentChanges", QJsonArray{QJsonObject{{"range", QJsonObject{{"start", start}, {"end", end}}}, {"text", text}}}}}}};
}

// A statement typed in and taken out again, alternately, each change checked and published.
void BM_LspDiagnosticsAfterEdit(benchmark::State& state) {
    OpenProgram open;
    std::int64_t version = 1;
    for (auto _ : state) {
        const bool insert = version % 2 == 1;
        QJsonObject change = Change(++version, open.middleLine, insert ? "(sleep 1) " : "");
        if (!insert) {
            QJsonObject params = change.value("params").toObject();
            QJsonObject item = params.value("contentChanges").toArray().first().toObject();
            item.insert("range", QJsonObject{{"start", QJsonObject{{"line", static_cast<qint64>(open.middleLine)}, {"character", 2}}},
                                             {"end", QJsonObject{{"line", static_cast<qint64>(open.middleLine)}, {"character", 12}}}});
            params.insert("contentChanges", QJsonArray{item});
            change.insert("params", params);
        }
        open.Send(change);
        open.server.PublishPending();
    }
    state.counters["messages"] = static_cast<double>(open.sent);
}
BENCHMARK(BM_LspDiagnosticsAfterEdit)->Unit(benchmark::kMillisecond);

// Completion on the middle statement: of the function's name after "(s", or of sleep's first
// argument (a short: every global that converts to one).
void Complete(benchmark::State& state, bool argument) {
    OpenProgram open;
    const std::size_t character = argument ? kStatement.size() : 4;
    const QJsonObject request{{"jsonrpc", "2.0"},
                              {"id", 2},
                              {"method", "textDocument/completion"},
                              {"params", QJsonObject{{"textDocument", QJsonObject{{"uri", "file:///bench/level.hsc"}}},
                                                     {"position", QJsonObject{{"line", static_cast<qint64>(open.middleLine)},
                                                                              {"character", static_cast<qint64>(character)}}}}}};
    for (auto _ : state) open.Send(request);
    state.SetLabel(open.middleText.substr(0, character) + "|");
}

void BM_LspCompletionOfAFunction(benchmark::State& state) { Complete(state, false); }
BENCHMARK(BM_LspCompletionOfAFunction)->Unit(benchmark::kMillisecond);

void BM_LspCompletionOfAnArgument(benchmark::State& state) { Complete(state, true); }
BENCHMARK(BM_LspCompletionOfAnArgument)->Unit(benchmark::kMillisecond);

}  // namespace

// The language server on a program at the engine's node limit (about 5,400 lines): the check and
// publication of diagnostics after an edit (the work the debounce's timer starts), and completion
// of a function's name and of an argument in the middle of the program. Each iteration is one
// message handled as the client sends it, framed and parsed. Then the whole way as an editor
// sees it: `xsc lsp` as a process on pipes, from the edit written to its input to the
// diagnostics read from its output, the debounce included. With a 128 MB map of 2000 tags:
// completion of camera_set's camera point and of sound_impulse_start's sound tag (the map
// opened for each to see that it is unchanged), and of a camera point after every change of the
// map (its names read again each time).
//
//   build/release/bench/xsc_bench --benchmark_filter=Lsp

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <filesystem>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include "BenchMaps.h"
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
    QJsonObject last;  // the last message the server sent
    Server server{[this](const QJsonObject& m) {
        ++sent;
        last = m;
    }};
    std::int64_t middleLine = 0;
    std::string middleText;

    explicit OpenProgram(const QJsonObject& options = {}) {
        const std::string program = xsc::bench::ProgramAtTheNodeLimit();
        Send({{"jsonrpc", "2.0"},
              {"id", 1},
              {"method", "initialize"},
              {"params", QJsonObject{{"capabilities", QJsonObject{}}, {"initializationOptions", options}}}});
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

// Replaces characters 2 to `endCharacter` of the line with `text`.
QJsonObject Change(std::int64_t version, std::int64_t line, const QString& text, std::int64_t endCharacter = 2) {
    const QJsonObject start{{"line", static_cast<qint64>(line)}, {"character", 2}};
    const QJsonObject end{{"line", static_cast<qint64>(line)}, {"character", static_cast<qint64>(endCharacter)}};
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
        const QJsonObject change = insert ? Change(++version, open.middleLine, "(sleep 1) ") : Change(++version, open.middleLine, "", 12);
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

QJsonObject CompletionAt(std::int64_t line, std::int64_t character) {
    return {{"jsonrpc", "2.0"},
            {"id", 2},
            {"method", "textDocument/completion"},
            {"params", QJsonObject{{"textDocument", QJsonObject{{"uri", "file:///bench/level.hsc"}}},
                                   {"position", QJsonObject{{"line", static_cast<qint64>(line)}, {"character", static_cast<qint64>(character)}}}}}};
}

// The middle statement begins with a call whose first argument names the map's things:
// "  (camera_set |(sleep 241)". `touch`: the map changes before each completion (its time of
// change set forward), so its names are read again every time.
void CompleteMapName(benchmark::State& state, const char* call, bool touch) {
    const std::filesystem::path& map = xsc::bench::NamedBenchMap();
    OpenProgram open({{"map", QString::fromStdString(map.string())}, {"engine", "custom"}});
    open.Send(Change(2, open.middleLine, QString(call) + " "));
    const QJsonObject request = CompletionAt(open.middleLine, 2 + static_cast<std::int64_t>(std::strlen(call)) + 1);
    auto time = std::filesystem::last_write_time(map);
    for (auto _ : state) {
        if (touch) std::filesystem::last_write_time(map, time += std::chrono::seconds(1));
        open.Send(request);
    }
    state.counters["items"] = static_cast<double>(open.last.value("result").toObject().value("items").toArray().size());
    state.SetLabel(std::string(call) + " |");
}

void BM_LspCompletionOfACameraPoint(benchmark::State& state) { CompleteMapName(state, "(camera_set", false); }
BENCHMARK(BM_LspCompletionOfACameraPoint)->Unit(benchmark::kMillisecond);

void BM_LspCompletionOfASoundTag(benchmark::State& state) { CompleteMapName(state, "(sound_impulse_start", false); }
BENCHMARK(BM_LspCompletionOfASoundTag)->Unit(benchmark::kMillisecond);

void BM_LspCompletionAfterTheMapChanged(benchmark::State& state) { CompleteMapName(state, "(camera_set", true); }
BENCHMARK(BM_LspCompletionAfterTheMapChanged)->Unit(benchmark::kMillisecond);

// Reads framed messages from the process until the diagnostics of `version` come.
bool AwaitDiagnostics(QProcess& process, xsc::lsp::MessageReader& reader, std::int64_t version) {
    for (;;) {
        while (std::optional<Frame> frame = reader.Next()) {
            const QJsonObject message = QJsonDocument::fromJson(frame->body).object();
            if (message.value("method") == "textDocument/publishDiagnostics" &&
                message.value("params").toObject().value("version").toInteger() == version) {
                return true;
            }
        }
        // A generous limit: only a server that died or hung ends the wait.
        if (!process.waitForReadyRead(60000)) return false;
        reader.Feed(process.readAllStandardOutput());
    }
}

void BM_LspProcessDiagnosticsAfterEdit(benchmark::State& state) {
    int argc = 1;
    char name[] = "xsc_bench";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QProcess process;
    process.start(XSC_CLI_PATH, {"lsp"});
    if (!process.waitForStarted()) {
        state.SkipWithError("xsc lsp did not start");
        return;
    }
    const auto send = [&](const QJsonObject& message) { process.write(xsc::lsp::FrameMessage(Message(message))); };
    OpenProgram open;  // for the program and its middle line
    send({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", QJsonObject{{"capabilities", QJsonObject{}}}}});
    send({{"jsonrpc", "2.0"},
          {"method", "textDocument/didOpen"},
          {"params", QJsonObject{{"textDocument", QJsonObject{{"uri", "file:///bench/level.hsc"}, {"version", 1},
                                                                 {"text", QString::fromStdString(xsc::bench::ProgramAtTheNodeLimit())}}}}}});
    xsc::lsp::MessageReader reader;
    if (!AwaitDiagnostics(process, reader, 1)) {
        state.SkipWithError("no diagnostics of the opened program");
        return;
    }
    std::int64_t version = 1;
    for (auto _ : state) {
        // Typed in, then taken out again: the same edits as BM_LspDiagnosticsAfterEdit.
        const bool insert = version % 2 == 1;
        send(insert ? Change(++version, open.middleLine, "(sleep 1) ") : Change(++version, open.middleLine, "", 12));
        if (!AwaitDiagnostics(process, reader, version)) {
            state.SkipWithError("no diagnostics after an edit");
            break;
        }
    }
    send({{"jsonrpc", "2.0"}, {"id", 2}, {"method", "shutdown"}});
    send({{"jsonrpc", "2.0"}, {"method", "exit"}});
    process.waitForFinished();
}
BENCHMARK(BM_LspProcessDiagnosticsAfterEdit)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

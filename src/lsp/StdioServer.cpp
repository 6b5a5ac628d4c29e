#include "lsp/StdioServer.h"

#include <cstdio>
#include <thread>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QTimer>

#include "lsp/MessageFraming.h"
#include "lsp/Server.h"
#include "runtime/Process.h"

namespace xsc::lsp {
namespace {

constexpr std::size_t kReadBytes = 64 * 1024;

void Write(const QJsonObject& message) {
    const QByteArray bytes = FrameMessage(QJsonDocument(message).toJson(QJsonDocument::Compact));
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

}  // namespace

int RunStdioServer() {
    // Framing counts bytes: no system may turn a line feed into CR LF on the way.
    SetBinaryMode(stdin);
    SetBinaryMode(stdout);
    // The application outlives this function on purpose: the reader thread may still be waiting
    // for input when the loop ends, and whatever it hands over then must reach a living object
    // (whose loop no longer runs) rather than a destroyed one. The process ends right after.
    static int argc = 1;
    static char name[] = "xsc";
    static char* argv[] = {name, nullptr};
    QCoreApplication& app = *new QCoreApplication(argc, argv);

    QTimer debounce;
    debounce.setSingleShot(true);
    Server server(Write, [&] { debounce.start(server.DebounceMilliseconds()); });
    QObject::connect(&debounce, &QTimer::timeout, [&] { server.PublishPending(); });

    MessageReader reader;
    const auto take = [&](const QByteArray& bytes) {
        reader.Feed(bytes);
        while (std::optional<Frame> frame = reader.Next()) {
            server.Receive(*frame);
            if (server.ExitCode()) {
                app.exit(*server.ExitCode());
                return;
            }
        }
    };
    std::thread input([&app, &server, take] {
        std::vector<char> buffer(kReadBytes);
        for (;;) {
            const std::size_t got = ReadStandardInput(buffer.data(), buffer.size());
            if (got == 0) break;
            QByteArray bytes(buffer.data(), static_cast<qsizetype>(got));
            QMetaObject::invokeMethod(&app, [take, bytes] { take(bytes); }, Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(&app, [&app, &server] { app.exit(server.ExitCode().value_or(server.EndOfInputCode())); },
                                  Qt::QueuedConnection);
    });
    const int code = app.exec();
    // The reader may still wait for input that will never come: the process ends around it.
    input.detach();
    return code;
}

}  // namespace xsc::lsp

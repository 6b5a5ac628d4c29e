// Bytes as the stream a client writes to `xsc lsp`, behind an initialize: cut into pieces (the
// first byte chooses their size), framed, handled, and every change checked and published at
// once. The server must answer everything with well-formed JSON-RPC and never crash, hang or
// throw; a message it sends that is not a response, an error or a notification aborts.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QJsonDocument>

#include "lsp/MessageFraming.h"
#include "lsp/Server.h"

namespace {

void Judge(const QJsonObject& message) {
    const bool response = message.contains("id") && (message.contains("result") != message.contains("error"));
    const bool notification = !message.contains("id") && message.value("method").isString();
    if (message.value("jsonrpc").toString() == "2.0" && (response || notification)) return;
    std::fprintf(stderr, "xsc fuzz finding: the server sent %s\n", QJsonDocument(message).toJson().constData());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xsc::lsp;
    Server server(Judge);
    MessageReader reader;
    reader.Feed(FrameMessage(R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{"rootUri":"file:///xsc-fuzz-no-such-folder","capabilities":{}}})"));
    const std::size_t piece = size == 0 ? 1 : 1 + data[0] % 64;
    for (std::size_t at = size == 0 ? 0 : 1; at <= size; at += piece) {
        reader.Feed(QByteArray(reinterpret_cast<const char*>(data) + at, static_cast<qsizetype>(std::min(piece, size - at))));
        while (std::optional<Frame> frame = reader.Next()) {
            server.Receive(*frame);
            server.PublishPending();
        }
        if (at == size) break;
    }
    return 0;
}

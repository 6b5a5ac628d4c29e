#pragma once
// The language server's message loop without its transport: it takes the messages the client
// sends, one at a time, and sends back responses and notifications through `send`. The
// transport (StdioServer.h) or a test feeds it.
//
// Lifecycle, as the protocol has it: before `initialize` every request is answered with
// "server not initialized" and notifications are dropped; after `shutdown` requests are refused;
// `exit` ends the process (code 0 after a shutdown, 1 without).
//
// Diagnostics are debounced: a change marks its document, and the transport calls
// PublishPending once no change has come for Config().debounceMilliseconds (it is told through
// `schedule` each time a change comes). Shutdown publishes what is pending first.
//
// Bad input never ends the server: a body that is no JSON, a message that is no request or
// notification, a request of a method it does not know, params it cannot read, each get the
// JSON-RPC error the protocol gives; a notification it does not know is ignored.

#include <functional>
#include <optional>
#include <set>

#include <QJsonObject>

#include "lsp/MapNamesCache.h"
#include "lsp/MessageFraming.h"
#include "lsp/Workspace.h"

namespace xsc::lsp {

class Server {
public:
    using Send = std::function<void(const QJsonObject&)>;

    explicit Server(Send send, std::function<void()> schedule = {});

    // One frame from the transport: a message's body, or a fault of its header.
    void Receive(const Frame& frame);
    void Handle(const QJsonObject& message);

    // Checks every document changed since the last call and publishes its diagnostics.
    void PublishPending();
    int DebounceMilliseconds() const { return workspace_.Config().debounceMilliseconds; }
    // Set once the client sent exit: the process's exit code.
    std::optional<int> ExitCode() const { return exitCode_; }
    // Input ended without exit: the process's exit code (0 only after a shutdown).
    int EndOfInputCode() const { return shutDown_ ? 0 : 1; }

private:
    enum class State { Uninitialized, Running, ShutDown };

    void HandleRequest(const QJsonValue& id, const QString& method, const QJsonObject& params);
    void HandleNotification(const QString& method, const QJsonObject& params);

    QJsonValue Initialize(const QJsonObject& params);
    void ReadConfiguration(const QJsonObject& params);
    void DidOpen(const QJsonObject& params);
    void DidChange(const QJsonObject& params);
    void DidClose(const QJsonObject& params);
    void MarkChanged(const QString& uri);
    void ShowMessage(int type, const std::string& message);
    void ReportMapProblem(const std::string& problem);

    Send send_;
    std::function<void()> schedule_;
    Workspace workspace_;
    State state_ = State::Uninitialized;
    bool shutDown_ = false;
    std::optional<int> exitCode_;
    std::set<QString> pending_;  // documents whose diagnostics are due
    MapNamesCache mapNames_;
    std::string mapProblem_;  // why the map's names could not be read at the last look-up, as shown
};

}  // namespace xsc::lsp

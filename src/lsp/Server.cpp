#include "lsp/Server.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include "engine/EngineTables.h"
#include "lsp/Completion.h"
#include "lsp/Diagnostics.h"
#include "lsp/DocumentSymbols.h"
#include "lsp/Formatting.h"
#include "lsp/Hover.h"
#include "lsp/JsonRpc.h"
#include "lsp/MapLookup.h"
#include "lsp/Navigation.h"
#include "lsp/SignatureHelp.h"
#include "runtime/Error.h"

namespace xsc::lsp {
namespace {

// The protocol's message types of window/showMessage.
constexpr int kErrorMessage = 1;
constexpr int kWarningMessage = 2;

// The protocol's text document sync kind: changes come as ranges.
constexpr int kIncrementalSync = 2;

using Feature = QJsonValue (*)(FeatureContext&, const QJsonObject&);

struct FeatureMethod {
    const char* method;
    Feature feature;
};
constexpr FeatureMethod kFeatures[] = {
    {"textDocument/completion", Complete},
    {"textDocument/hover", Hover},
    {"textDocument/signatureHelp", SignatureHelp},
    {"textDocument/definition", Definition},
    {"textDocument/references", References},
    {"textDocument/documentSymbol", DocumentSymbols},
    {"textDocument/formatting", Format},
};

// The encoding both sides know, in the client's order of preference; UTF-16 when it names none.
PositionEncoding ChooseEncoding(const QJsonArray& offered, QString* name) {
    for (const QJsonValue& value : offered) {
        const QString encoding = value.toString().toLower();
        *name = encoding;
        if (encoding == "utf-8") return PositionEncoding::Utf8;
        if (encoding == "utf-16") return PositionEncoding::Utf16;
        if (encoding == "utf-32") return PositionEncoding::Utf32;
    }
    *name = "utf-16";
    return PositionEncoding::Utf16;
}

std::filesystem::path RootOf(const QJsonObject& params) {
    if (params.value("rootUri").isString()) return PathOfUri(params.value("rootUri").toString());
    if (params.value("rootPath").isString()) return std::filesystem::path(params.value("rootPath").toString().toStdString());
    const QJsonArray folders = params.value("workspaceFolders").toArray();
    if (!folders.isEmpty()) return PathOfUri(folders.first().toObject().value("uri").toString());
    return {};
}

QJsonObject Capabilities(const QString& encoding) {
    const QJsonArray triggers{"(", " "};
    return {{"positionEncoding", encoding},
            {"textDocumentSync", QJsonObject{{"openClose", true}, {"change", kIncrementalSync}}},
            {"completionProvider", QJsonObject{{"triggerCharacters", QJsonArray{"("}}}},
            {"hoverProvider", true},
            {"signatureHelpProvider", QJsonObject{{"triggerCharacters", triggers}}},
            {"definitionProvider", true},
            {"referencesProvider", true},
            {"documentSymbolProvider", true},
            {"documentFormattingProvider", true}};
}

}  // namespace

Server::Server(Send send, std::function<void()> schedule) : send_(std::move(send)), schedule_(std::move(schedule)) {}

void Server::Receive(const Frame& frame) {
    if (!frame.fault.empty()) {
        send_(rpc::ErrorResponse(QJsonValue::Null, rpc::kParseError, QString::fromStdString("unreadable message header: " + frame.fault)));
        return;
    }
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(frame.body, &error);
    if (json.isNull()) {
        send_(rpc::ErrorResponse(QJsonValue::Null, rpc::kParseError,
                                 "the message is no JSON: " + error.errorString() + " at byte " + QString::number(error.offset)));
        return;
    }
    if (!json.isObject()) {
        send_(rpc::ErrorResponse(QJsonValue::Null, rpc::kInvalidRequest, "a message is one JSON object (batches are not used)"));
        return;
    }
    Handle(json.object());
}

void Server::Handle(const QJsonObject& message) {
    const QJsonValue id = message.value("id");
    const bool hasId = message.contains("id");
    const bool validId = id.isString() || id.isDouble();
    if (message.value("jsonrpc").toString() != "2.0" || (hasId && !validId)) {
        send_(rpc::ErrorResponse(validId ? id : QJsonValue::Null, rpc::kInvalidRequest,
                                 "a message needs \"jsonrpc\": \"2.0\" and a number or string as its id"));
        return;
    }
    if (!message.value("method").isString()) {
        // A response to a request of ours: the server sends none, so there is nothing to match.
        if (hasId && (message.contains("result") || message.contains("error"))) return;
        send_(rpc::ErrorResponse(validId ? id : QJsonValue::Null, rpc::kInvalidRequest, "a request or notification needs a method"));
        return;
    }
    const QJsonValue params = message.value("params");
    if (!params.isUndefined() && !params.isNull() && !params.isObject() && !params.isArray()) {
        if (hasId) send_(rpc::ErrorResponse(id, rpc::kInvalidRequest, "params must be an object or an array"));
        return;
    }
    if (hasId) {
        HandleRequest(id, message.value("method").toString(), params.toObject());
    } else {
        HandleNotification(message.value("method").toString(), params.toObject());
    }
}

void Server::HandleRequest(const QJsonValue& id, const QString& method, const QJsonObject& params) {
    if (state_ == State::Uninitialized && method != "initialize") {
        send_(rpc::ErrorResponse(id, rpc::kServerNotInitialized, "the server is not initialized: send initialize first"));
        return;
    }
    if (state_ == State::ShutDown) {
        send_(rpc::ErrorResponse(id, rpc::kInvalidRequest, "the server is shut down: only exit is taken now"));
        return;
    }
    try {
        if (method == "initialize") {
            if (state_ != State::Uninitialized) throw rpc::RequestFailed{"the server is already initialized"};
            send_(rpc::Response(id, Initialize(params)));
            return;
        }
        if (method == "shutdown") {
            PublishPending();
            state_ = State::ShutDown;
            shutDown_ = true;
            send_(rpc::Response(id, QJsonValue::Null));
            return;
        }
        for (const FeatureMethod& f : kFeatures) {
            if (method != f.method) continue;
            FeatureContext context{workspace_, engine::EngineTables::BuiltIn(),
                                   BuildOfWorkspace(workspace_.Config()).value_or(engine::kDefaultBuild), &mapNames_};
            send_(rpc::Response(id, f.feature(context, params)));
            if (context.mapProblem) ReportMapProblem(*context.mapProblem);
            return;
        }
        send_(rpc::ErrorResponse(id, rpc::kMethodNotFound, "xsc does not handle " + method));
    } catch (const rpc::InvalidParams& e) {
        send_(rpc::ErrorResponse(id, rpc::kInvalidParams, e.message));
    } catch (const rpc::RequestFailed& e) {
        send_(rpc::ErrorResponse(id, rpc::kRequestFailed, e.message));
    } catch (const Error& e) {
        send_(rpc::ErrorResponse(id, rpc::kRequestFailed, QString::fromStdString(e.what())));
    } catch (const std::exception& e) {
        send_(rpc::ErrorResponse(id, rpc::kInternalError, QString::fromStdString(e.what())));
    }
}

void Server::HandleNotification(const QString& method, const QJsonObject& params) {
    if (method == "exit") {
        exitCode_ = shutDown_ ? 0 : 1;
        return;
    }
    if (state_ != State::Running) return;
    try {
        if (method == "textDocument/didOpen") DidOpen(params);
        if (method == "textDocument/didChange") DidChange(params);
        if (method == "textDocument/didClose") DidClose(params);
    } catch (const rpc::InvalidParams& e) {
        ShowMessage(kErrorMessage, method.toStdString() + ": " + e.message.toStdString());
    } catch (const std::exception& e) {
        ShowMessage(kErrorMessage, method.toStdString() + ": " + e.what());
    }
}

QJsonValue Server::Initialize(const QJsonObject& params) {
    const QJsonObject capabilities = params.value("capabilities").toObject();
    QString encoding;
    QJsonArray offered = capabilities.value("general").toObject().value("positionEncodings").toArray();
    // Clients before the protocol named encodings offered them as offsetEncoding.
    const bool offsetEncoding = offered.isEmpty() && capabilities.value("offsetEncoding").isArray();
    if (offsetEncoding) offered = capabilities.value("offsetEncoding").toArray();
    workspace_.SetEncoding(ChooseEncoding(offered, &encoding));
    workspace_.SetRoot(RootOf(params));
    ReadConfiguration(params);
    state_ = State::Running;
    QJsonObject result{{"capabilities", Capabilities(encoding)},
                       {"serverInfo", QJsonObject{{"name", "xsc"}, {"version", XSC_VERSION}}}};
    if (offsetEncoding) result.insert("offsetEncoding", encoding);
    return result;
}

// The client's initialization options, else the project file, else the defaults; a fault in
// either is shown, and the defaults taken.
void Server::ReadConfiguration(const QJsonObject& params) {
    const std::filesystem::path& root = workspace_.Root();
    try {
        const QJsonObject options = params.value("initializationOptions").toObject();
        if (!options.isEmpty()) {
            workspace_.SetConfig(ReadProjectConfig(options, root, "initialization options"));
        } else if (std::optional<ProjectConfig> file = LoadProjectFile(root)) {
            workspace_.SetConfig(std::move(*file));
        } else {
            workspace_.SetConfig(ProjectConfig{{}, {}, {}, kDefaultDebounceMilliseconds, "defaults"});
        }
    } catch (const Error& e) {
        ShowMessage(kErrorMessage, std::string("xsc: ") + e.what() + "; the custom build and no map are taken");
        workspace_.SetConfig(ProjectConfig{{}, {}, {}, kDefaultDebounceMilliseconds, "defaults"});
    }
    std::string problem;
    BuildOfWorkspace(workspace_.Config(), &problem);
    if (!problem.empty()) ShowMessage(kWarningMessage, "xsc: " + problem + "; the custom build is taken until the map can be read");
}

void Server::DidOpen(const QJsonObject& params) {
    const QJsonObject item = params.value("textDocument").toObject();
    if (!item.value("uri").isString() || !item.value("text").isString()) throw rpc::InvalidParams{"textDocument needs uri and text"};
    workspace_.Open(item.value("uri").toString(), item.value("text").toString().toStdString(),
                    ReadInteger(item.value("version")));
    MarkChanged(item.value("uri").toString());
}

void Server::DidChange(const QJsonObject& params) {
    const QString uri = ReadUri(params);
    TextDocument* document = workspace_.Find(uri);
    if (document == nullptr) throw rpc::InvalidParams{"a change of a document that is not open: " + uri};
    for (const QJsonValue& value : params.value("contentChanges").toArray()) {
        const QJsonObject change = value.toObject();
        const std::string text = change.value("text").toString().toStdString();
        if (!change.contains("range")) {
            document->SetText(text);
            continue;
        }
        const QJsonObject range = change.value("range").toObject();
        const PositionEncoding encoding = workspace_.Encoding();
        const std::size_t begin = document->Offset(ReadPosition(range.value("start")), encoding);
        const std::size_t end = document->Offset(ReadPosition(range.value("end")), encoding);
        document->Replace(begin, std::max(begin, end), text);
    }
    document->SetVersion(ReadInteger(params.value("textDocument").toObject().value("version")));
    workspace_.Changed(uri);
    MarkChanged(uri);
}

void Server::DidClose(const QJsonObject& params) {
    const QString uri = ReadUri(params);
    pending_.erase(uri);
    workspace_.Close(uri);
    // A closed document's findings leave the editor's list with it; the rest of its program now
    // reads the file as it is on disk.
    send_(rpc::Notification("textDocument/publishDiagnostics", QJsonObject{{"uri", uri}, {"diagnostics", QJsonArray{}}}));
    for (const TextDocument* member : workspace_.ProgramOf(uri)) {
        if (workspace_.Find(member->Uri()) == member) MarkChanged(member->Uri());
    }
}

void Server::MarkChanged(const QString& uri) {
    pending_.insert(uri);
    if (schedule_) schedule_();
}

void Server::PublishPending() {
    const std::set<QString> due = std::move(pending_);
    pending_.clear();
    std::set<const TextDocument*> published;  // a program is checked once for all its changes
    for (const QString& uri : due) {
        const TextDocument* document = workspace_.Find(uri);
        if (document == nullptr || published.count(document) != 0) continue;
        const std::vector<const TextDocument*> program = workspace_.ProgramOf(uri);
        for (auto& [member, found] : CheckDocuments(workspace_, program, *document)) {
            // Files of the program the client has not opened are not its to show.
            if (workspace_.Find(member->Uri()) != member) continue;
            published.insert(member);
            send_(rpc::Notification("textDocument/publishDiagnostics", PublishParams(workspace_, *member, found)));
        }
    }
}

// A map whose names cannot be read is said once, not at every keystroke: again only when the
// reason changes or after the map could be read. The feature answers without the map's names.
void Server::ReportMapProblem(const std::string& problem) {
    if (problem == mapProblem_) return;
    mapProblem_ = problem;
    if (problem.empty()) return;
    ShowMessage(kWarningMessage, "xsc: " + problem + "; the names of the map's things are not offered until it can be read");
}

void Server::ShowMessage(int type, const std::string& message) {
    send_(rpc::Notification("window/showMessage", QJsonObject{{"type", type}, {"message", QString::fromStdString(message)}}));
}

}  // namespace xsc::lsp

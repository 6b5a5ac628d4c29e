// Sessions of the language server as a client drives it, against golden files: each folder of
// lsp/sessions/ holds input.jsonl (the client's messages, one a line), a workspace/ to copy into
// the session's root when the session needs files, and expected.txt, the transcript of what the
// client sent and what the server answered (XSC_UPDATE_GOLDEN=1 rewrites it).
//
// Lines of input.jsonl:
//   {...}          a message, framed and fed to the server; ${ROOT} stands for the root's URI
//   raw "..."      bytes fed as they are (a JSON string: "\r\n" for the header's line ends)
//   publish        the debounce's timer fires: the server checks what changed and publishes
//   map NAME       writes a map with the generator's named things (seed 1) at NAME in the root
//   garble NAME    overwrites the file NAME in the root with bytes that are no map
// In the transcript, ${NO_SUCH_FILE} stands for the system's words for a missing file.
//   # ...          a comment, copied into the transcript

#include <gtest/gtest.h>

#include <fstream>

#include <QJsonArray>

#include <QJsonDocument>

#include "lsp/MessageFraming.h"
#include "lsp/Server.h"
#include "lsp/Workspace.h"
#include "mapgen/MapGenerator.h"
#include "support/CompileFixture.h"
#include "support/TestFiles.h"

namespace xsc::lsp {
namespace {

namespace fs = std::filesystem;

const fs::path kSessions = fs::path(__FILE__).parent_path() / "sessions";

struct Transcript {
    std::string text;
    QString root;
    int schedules = 0;  // how often a change asked for the debounce's timer

    void Out(const QJsonObject& message) {
        QString json = QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact));
        // The system's words for a missing file differ between systems.
        json.replace(root, "${ROOT}").replace(QString::fromStdString(test::NoSuchFileReason()), "${NO_SUCH_FILE}");
        text += "<-- " + json.toStdString() + "\n";
    }
};

std::string RunSession(const std::string& name) {
    test::TempDir folder;
    const fs::path root = folder.Path() / "workspace";
    fs::create_directories(root);
    if (fs::exists(kSessions / name / "workspace")) {
        fs::copy(kSessions / name / "workspace", root, fs::copy_options::recursive);
    }
    Transcript transcript;
    // Without the trailing slash: the root's URI, and every file's URI begins with it.
    transcript.root = UriOfPath(root);
    Server server([&](const QJsonObject& m) { transcript.Out(m); }, [&] { ++transcript.schedules; });
    MessageReader reader;
    std::ifstream input(kSessions / name / "input.jsonl");
    for (std::string line; std::getline(input, line);) {
        if (line.empty()) continue;
        if (line[0] == '#') {
            transcript.text += line + "\n";
            continue;
        }
        if (line.rfind("map ", 0) == 0 || line.rfind("garble ", 0) == 0) {
            transcript.text += "== " + line + "\n";
            const fs::path file = root / line.substr(line.find(' ') + 1);
            if (line[0] == 'm') {
                mapgen::WriteMap(file, test::NamedMap(1));
            } else {
                test::WriteText(file, std::string(4096, 'x'));
            }
            continue;
        }
        if (line == "publish") {
            transcript.text += "== publish (timer started by " + std::to_string(transcript.schedules) + " of the changes)\n";
            transcript.schedules = 0;
            server.PublishPending();
            continue;
        }
        transcript.text += "--> " + line + "\n";
        QByteArray bytes = QString::fromStdString(line).replace("${ROOT}", transcript.root).toUtf8();
        if (line.rfind("raw ", 0) == 0) {
            reader.Feed(QJsonDocument::fromJson("[" + bytes.mid(4) + "]").array().first().toString().toUtf8());
        } else {
            reader.Feed(FrameMessage(bytes));
        }
        while (std::optional<Frame> frame = reader.Next()) server.Receive(*frame);
        if (server.ExitCode()) transcript.text += "== exit " + std::to_string(*server.ExitCode()) + "\n";
    }
    return transcript.text;
}

class Session : public testing::TestWithParam<std::string> {};

TEST_P(Session, AnswersAsTheGoldenTranscriptSays) {
    test::ExpectGolden("lsp/sessions/" + GetParam() + "/expected.txt", RunSession(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Lsp, Session, testing::Values("features", "bad_input", "program", "config", "map_names", "program_map"));

}  // namespace
}  // namespace xsc::lsp

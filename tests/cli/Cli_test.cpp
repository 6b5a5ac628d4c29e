// The xsc command line run in-process, as a user runs it: what each command prints, on which
// stream, its exit code and the files it leaves, against the golden file cli/session.expected
// (XSC_UPDATE_GOLDEN=1 rewrites it from what the commands print now).

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <map>
#include <sstream>

#include "Cli.h"
#include "mapgen/MapGenerator.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

namespace fs = std::filesystem;

// The regular files of a folder and their contents.
std::map<std::string, std::string> Files(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (e.is_regular_file()) files[e.path().filename().string()] = test::ReadText(e.path());
    }
    return files;
}

// "wrote NAME: SIZE bytes, fnv HASH" per file written (a script, .xml or .hsc, shown whole),
// "removed NAME".
std::string Changes(const std::map<std::string, std::string>& before, const std::map<std::string, std::string>& after) {
    std::ostringstream s;
    for (const auto& [name, bytes] : after) {
        if (before.count(name) && before.at(name) == bytes) continue;
        std::uint64_t hash = 14695981039346656037u;  // FNV-1a
        for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
        s << "wrote " << name << ": " << bytes.size() << " bytes, fnv " << std::hex << hash << std::dec << "\n";
        if (fs::path(name).extension() == ".xml" || fs::path(name).extension() == ".hsc") s << bytes;
    }
    for (const auto& [name, bytes] : before) {
        if (!after.count(name)) s << "removed " << name << "\n";
    }
    return s.str();
}

// A small map whose header names the custom build, with the generator's named things.
mapgen::MapOptions CustomMap(std::int32_t slots = 200) {
    mapgen::MapOptions options = test::NamedMap(9);
    options.engineValue = 609;
    options.slotCapacity = slots;
    options.tagDataSize = 4096;  // few corrected words for --fixups to list
    return options;
}

// Each command runs in one folder, in order: a later command sees what an earlier one wrote.
// The folder holds cli/session/ (scripts, and bad.map: 4 bytes), cli/check/ (scripts with mistakes
// of every kind the check reports), level.map, damaged.map (compiled, its slot count field
// cleared), maps of the retail build, of no known build and of 9 slots, plain.map without names
// (its scenario's block fields hold filler), and pipe.map, a named
// pipe (opening it would wait for a writer; on Windows, which has none in folders, a folder). A
// refused command changes no file. The system's words for a missing file are its own.
TEST(Cli, EachCommandPrintsWhatTheSessionTranscriptHolds) {
    test::TempDir dir;
    const fs::path source = fs::path(__FILE__).parent_path() / "session";
    const test::Compiled compiled = test::CompileInto(dir, CustomMap(), test::ReadText(source / "hello.xml"));
    test::Bytes damaged = compiled.after;
    test::Put32(damaged, static_cast<std::size_t>(compiled.layout.nodeDataOffset + 0x2E), 0);
    test::WriteBytes(dir / "damaged.map", damaged);
    mapgen::MapOptions unknown = CustomMap(), retail = CustomMap();
    unknown.engineValue.reset();
    retail.engineValue = 7;
    mapgen::WriteMap(dir / "level.map", CustomMap());
    mapgen::WriteMap(dir / "retail.map", retail);
    mapgen::WriteMap(dir / "unknown.map", unknown);
    mapgen::WriteMap(dir / "small.map", CustomMap(9));
    mapgen::WriteMap(dir / "plain.map", test::SmallMap(9));
    // Maps no compile may take as they are: cut short; holding scripts another tool wrote; left
    // marked as being compiled by a compile whose journal is not beside it. And a map whose tag 2
    // has its data outside the tag data (data address 0, as a BSP's).
    test::WriteBytes(dir / "cut.map", test::Bytes(compiled.before.begin(), compiled.before.begin() + 9000));
    test::Bytes foreign = compiled.after;
    foreign.at(static_cast<std::size_t>(compiled.layout.stringDataOffset)) = 'x';
    test::WriteBytes(dir / "foreign.map", foreign);
    test::Bytes marked = compiled.before;
    std::copy_n("xsc: compiling!!", 16, marked.begin() + 0x200);
    test::WriteBytes(dir / "marked.map", marked);
    test::Bytes bsp = compiled.before;
    test::Put32(bsp, static_cast<std::size_t>(compiled.layout.tagOffset + 2 * 32 + 0x14), 0);
    test::WriteBytes(dir / "bsp.map", bsp);
    // Tags with real structures: the walk of the tag layouts, what it corrects and leaves alone.
    mapgen::MapOptions structured = CustomMap();
    structured.structured = true;
    structured.names = false;
    structured.tagCount = 3;
    structured.tagDataSize = 2 * 8192;
    structured.scenarioTailSize = 1024;
    const std::string tag2 = mapgen::WriteMap(dir / "structured.map", structured).tagNames[2];
    fs::copy(source, dir.Path());
    fs::copy(source.parent_path() / "check", dir / "check");
#ifdef _WIN32
    fs::create_directory(dir / "pipe.map");
#else
    ASSERT_EQ(::mkfifo((dir / "pipe.map").c_str(), 0600), 0);
#endif

    const struct {
        std::vector<std::string> args;  // DIR stands for the folder
        std::string input = {};         // a file of cli/session/ as standard input
    } commands[] = {
        {{"info", "DIR/level.map"}},
        {{"info", "DIR/level.map", "--json"}},
        {{"compile", "DIR/level.map", "-", "-o", "DIR/out.map", "--fixups"}, "hello.xml"},
        {{"compile", "DIR/level.map", "DIR/hello.xml", "-o", "DIR/quiet.map", "--no-warnings"}},
        {{"info", "DIR/structured.map", "--tag", tag2}},
        {{"info", "DIR/structured.map", "--tag", "no\\such\\tag"}},
        {{"compile", "DIR/structured.map", "DIR/hello.xml", "-o", "DIR/walked.map", "--fixups", "--no-warnings"}},
        {{"compile", "DIR/structured.map", "DIR/hello.xml", "-o", "DIR/scanned.map", "--fixup", "scan", "--no-warnings"}},
        {{"compile", "DIR/structured.map", "DIR/hello.xml", "--fixup", "guess"}},
        {{"compile", "DIR/level.map", "DIR/hello.xml"}},
        {{"compile", "DIR/level.map", "DIR/hello.xml", "--no-warnings"}},
        {{"info", "DIR/level.map", "--json"}},
        {{"decompile", "DIR/level.map"}},
        {{"decompile", "DIR/level.map", "-o", "DIR/out.xml"}},
        {{"decompile", "DIR/damaged.map", "-o", "DIR/none.xml"}},
        {{"compile", "DIR/level.map", "DIR/typo.xml"}},
        {{"compile", "DIR/level.map", "-"}, "malformed.xml"},
        {{"info", "DIR/bad.map"}},
        {{"info", "DIR/hello.xml"}},
        {{"info", "DIR/bsp.map"}},
        {{"info", "DIR/bsp.map", "--json"}},
        {{"info", "DIR/marked.map"}},
        {{"compile", "DIR/hello.xml", "DIR/level.map"}},
        {{"compile", "DIR/level.map", "DIR/hello.xml", "-o", "DIR/level.map"}},
        {{"compile", "DIR/cut.map", "DIR/hello.xml"}},
        {{"check", "DIR/hello.xml", "--map", "DIR/cut.map"}},
        {{"check", "DIR/hello.xml", "--map", "DIR/foreign.map"}},
        {{"recover", "DIR/absent.map"}},
        {{"recover", "DIR"}},
        {{"recover", "DIR/hello.xml"}},
        {{"recover", "DIR/marked.map"}},
        {{"recover", "DIR/retail.map"}},
        {{"compile", "DIR/absent.map", "DIR/hello.xml"}},
        {{"compile", "DIR/level.map", "DIR"}},
        {{"info", "DIR/pipe.map"}},
        {{"compile", "DIR/pipe.map", "-"}, "hello.xml"},
        {{"compile", "DIR/level.map", "-", "-o", ""}, "hello.xml"},
        {{}},
        {{"compile", "DIR/level.map"}},
        {{"info", "DIR/level.map", "--bogus"}},
        {{"check", "DIR/hello.xml", "--engine", "bogus"}},
        {{"check", "DIR/hello.xml", "--engine", "retail", "--map", "DIR/level.map"}},
        {{"functions", "--engine", "pc"}},
        {{"--help"}},
        {{"check", "DIR/slots.xml", "--map", "DIR/level.map"}},
        {{"check", "DIR/slots.xml", "--map", "DIR/retail.map"}},
        {{"check", "DIR/slots.xml", "--map", "DIR/unknown.map"}},
        {{"check", "DIR/slots.xml", "--map", "DIR/small.map"}},
        {{"check", "DIR/check/warnings.xml"}},
        {{"check", "DIR/check/builds.xml", "--engine", "retail", "--werror"}},
        {{"check", "DIR/check/refused.xml", "--engine", "demo"}},
        {{"check", "DIR/check/malformed.xml"}},
        {{"functions", "SLEEP"}},
        {{"functions", "sv_players", "--engine", "demo", "--json"}},
        {{"functions", "sv_say", "--engine", "retail"}},
        {{"check", "DIR/intro.hsc"}},
        {{"check", "-"}, "mistakes.hsc"},
        {{"compile", "DIR/level.map", "DIR/mistakes.hsc"}},
        {{"compile", "DIR/unknown.map", "DIR/intro.hsc"}},
        {{"compile", "DIR/retail.map", "DIR/intro.hsc", "--engine", "custom", "-o", "DIR/custom.map"}},
        {{"compile", "DIR/level.map", "-", "-o", "DIR/intro.map"}, "intro.hsc"},
        {{"decompile", "DIR/intro.map", "--hsc"}},
        {{"decompile", "DIR/intro.map", "-o", "DIR/back.hsc"}},
        {{"decompile", "DIR/out.map", "--hsc"}},
        {{"convert", "DIR/intro.hsc", "-o", "DIR/intro.xml"}},
        {{"convert", "DIR/intro.xml", "--engine", "retail"}},
        {{"convert", "DIR/intro.hsc", "-o", "DIR/copy.hsc"}},
        {{"convert", "DIR/hello.xml"}},
        {{"check", "DIR/shared.hsc", "DIR/level.hsc"}},
        {{"compile", "DIR/level.map", "DIR/shared.hsc", "DIR/level.hsc", "-o", "DIR/program.map"}},
        {{"decompile", "DIR/program.map", "--hsc"}},
        {{"check", "DIR/level.hsc"}},
        {{"names", "DIR/level.map"}},
        {{"names", "DIR/level.map", "encounters", "--json"}},
        {{"names", "DIR/plain.map", "trigger_volumes"}},
        {{"names", "DIR/level.map", "bogus"}},
        {{"check", "DIR/names.hsc"}},
        {{"check", "DIR/names.hsc", "--map", "DIR/level.map"}},
        {{"compile", "DIR/level.map", "DIR/names.hsc"}},
        {{"compile", "DIR/plain.map", "DIR/intro.hsc", "--engine", "custom", "-o", "DIR/plain-out.map"}},
    };
    std::string transcript;
    for (const auto& c : commands) {
        std::vector<std::string> args = c.args;
        std::vector<const char*> argv{"xsc"};
        transcript += "$ xsc";
        for (std::string& a : args) {
            (transcript += ' ') += a.empty() ? "''" : a;
            if (a.rfind("DIR", 0) == 0) a.replace(0, 3, dir.Path().string());
            argv.push_back(a.c_str());
        }
        transcript += c.input.empty() ? "\n" : " < " + c.input + "\n";
        std::istringstream in(c.input.empty() ? "" : test::ReadText(source / c.input));
        std::ostringstream out, err;
        const auto before = Files(dir.Path());
        const int code = cli::RunXsc(static_cast<int>(argv.size()), argv.data(), in, out, err);
        const std::string changes = Changes(before, Files(dir.Path()));
        EXPECT_TRUE(code == 0 || changes.empty()) << transcript << changes;
        transcript += out.str() + (err.str().empty() ? "" : "(stderr)\n" + err.str());
        transcript += "exit " + std::to_string(code) + "\n" + changes;
    }
    // (Paths the program built itself have the system's separators: "DIR\\x" on Windows.)
    const std::pair<std::string, std::string> replacements[] = {{dir.Path().string() + "\\", "DIR/"},
                                                                 {dir.Path().string(), "DIR"},
                                                                 {test::NoSuchFileReason(), "No such file or directory"}};
    for (const auto& [from, to] : replacements) {
        for (std::size_t at = 0; (at = transcript.find(from, at)) != std::string::npos; at += to.size()) {
            transcript.replace(at, from.size(), to);
        }
    }
    test::ExpectGolden("cli/session.expected", transcript);
}

}  // namespace
}  // namespace xsc

// Faults from the system around a compile, in place and with -o: a map that may not be written,
// a map that disappears or shrinks between load and compile, a file-size limit below the grown
// map, an output folder that may not be written. Each ends with a clear error, the map's bytes
// exactly as before and no stray temporary file in any folder involved.
//
// Permission faults need an unprivileged process: tests run as root in CI, and root may write
// read-only files. Those cases fork a child that drops to user and group 65534 (nobody) before
// it compiles; the child first proves that it can no longer write what it must not write.

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>

#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/BuildScriptData.h"
#include "scriptdata/ScriptCompilier.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

constexpr uid_t kNobody = 65534;

const char* kScript =
    "<s><a NameAttr='main'><ScriptCommand Command='sleep' EngineId='22' ValueType='4'>"
    "<ScriptValue ValueType='7' Value='30'/></ScriptCommand></a></s>";

// Runs one compile; "compiled", or "error: <message>" for xsc::Error.
std::string Compile(HaloPcMap& map, const std::optional<fs::path>& output) {
    try {
        ScriptCompilier state;
        CompileOptions options;
        options.output = output;
        BuildScriptData(map, XmlDocument::LoadXml(kScript), state, options);
        return "compiled";
    } catch (const Error& e) {
        return std::string("error: ") + e.what();
    } catch (const std::exception& e) {
        return std::string("an exception other than xsc::Error: ") + e.what();
    }
}

std::string LoadAndCompile(const fs::path& map, const std::optional<fs::path>& output) {
    HaloPcMap loaded;
    try {
        loaded.LoadMap(map);
    } catch (const Error& e) {
        return std::string("load error: ") + e.what();
    }
    return Compile(loaded, output);
}

std::set<std::string> Listing(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

struct ChildLimits {
    bool dropPrivileges = false;
    std::optional<rlim_t> fileSizeLimit;
    std::optional<fs::path> mustNotWrite;  // checked after the drop: opening it to write must fail
};

// Runs `body` in a forked child under `limits` and returns what it reported.
template <typename Body>
std::string InChild(const ChildLimits& limits, Body body) {
    int channel[2];
    if (::pipe(channel) != 0) return "setup: pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(channel[0]);
        std::string report;
        if (limits.fileSizeLimit) {
            std::signal(SIGXFSZ, SIG_IGN);  // an over-limit write then fails with EFBIG
            const rlimit limit{*limits.fileSizeLimit, *limits.fileSizeLimit};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) report = "setup: setrlimit failed";
        }
        if (report.empty() && limits.dropPrivileges && ::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
                report = "setup: cannot drop privileges";
            }
        }
        if (report.empty() && limits.mustNotWrite && ::access(limits.mustNotWrite->c_str(), W_OK) == 0) {
            report = "setup: " + limits.mustNotWrite->string() + " is still writable";
        }
        if (report.empty()) report = body();
        [[maybe_unused]] const ssize_t written = ::write(channel[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[512];
    ssize_t got;
    while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0) report.append(buffer, static_cast<std::size_t>(got));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status)) return "the child died (status " + std::to_string(status) + ")";
    return report;
}

class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override {
        // The folder must be searchable by the unprivileged child, but not writable by it.
        fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
        map = dir / "level.map";
        layout = mapgen::WriteMap(map, test::SmallMap(21));
        before = test::ReadBytes(map);
    }

    // A folder the unprivileged child owns.
    fs::path ChildFolder(const std::string& name) {
        const fs::path folder = dir / name;
        fs::create_directory(folder);
        if (::geteuid() == 0 && ::chown(folder.c_str(), kNobody, kNobody) != 0) ADD_FAILURE() << "chown failed";
        return folder;
    }

    // The map compiled in place, in a scratch copy: what a successful -o must produce.
    Bytes CompiledCopy() {
        test::TempDir scratch;
        test::WriteBytes(scratch / "copy.map", before);
        EXPECT_EQ(LoadAndCompile(scratch / "copy.map", std::nullopt), "compiled");
        return test::ReadBytes(scratch / "copy.map");
    }

    void ExpectMapUnchanged() { EXPECT_TRUE(test::ReadBytes(map) == before) << "the map's bytes changed"; }

    test::TempDir dir;
    fs::path map;
    mapgen::MapLayout layout;
    Bytes before;
};

void ExpectError(const std::string& report, const std::string& phrase) {
    EXPECT_EQ(report.rfind("error: ", 0), 0u) << report;
    EXPECT_NE(report.find(phrase), std::string::npos) << report;
}

TEST_F(FaultInjection, ReadOnlyMapInPlace) {
    fs::permissions(map, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ChildLimits limits;
    limits.dropPrivileges = true;
    limits.mustNotWrite = map;
    const std::string report = InChild(limits, [&] { return LoadAndCompile(map, std::nullopt); });
    ExpectError(report, "cannot open for writing: Permission denied");
    ExpectMapUnchanged();
    EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"level.map"});
}

TEST_F(FaultInjection, ReadOnlyMapWithOutputElsewhere) {
    // -o only reads the map: a read-only map compiles, and stays as it was.
    fs::permissions(map, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const fs::path out = ChildFolder("out");
    ChildLimits limits;
    limits.dropPrivileges = true;
    limits.mustNotWrite = map;
    const std::string report = InChild(limits, [&] { return LoadAndCompile(map, out / "new.map"); });
    EXPECT_EQ(report, "compiled");
    ExpectMapUnchanged();
    EXPECT_TRUE(test::ReadBytes(out / "new.map") == CompiledCopy());
    EXPECT_EQ(fs::status(out / "new.map").permissions(), fs::status(map).permissions());
    EXPECT_EQ(Listing(out), std::set<std::string>{"new.map"});
    EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"level.map", "out"}));
}

TEST_F(FaultInjection, OutputFolderNotWritable) {
    const fs::path out = dir / "out";  // writable by nobody but root, and the child is not root
    fs::create_directory(out);
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                             fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    ChildLimits limits;
    limits.dropPrivileges = true;
    limits.mustNotWrite = out;
    const std::string report = InChild(limits, [&] { return LoadAndCompile(map, out / "new.map"); });
    ExpectError(report, "cannot create a temporary file in " + out.string());
    ExpectMapUnchanged();
    EXPECT_TRUE(Listing(out).empty());
}

TEST_F(FaultInjection, MapDisappearsBetweenLoadAndCompile) {
    for (const bool toOutput : {false, true}) {
        SCOPED_TRACE(toOutput ? "-o" : "in place");
        test::WriteBytes(map, before);
        HaloPcMap loaded;
        loaded.LoadMap(map);
        fs::remove(map);
        const std::string report = Compile(loaded, toOutput ? std::optional<fs::path>(dir / "new.map") : std::nullopt);
        ExpectError(report, "cannot open for reading: No such file or directory");
        EXPECT_TRUE(Listing(dir.Path()).empty()) << "the compile left a file behind";
    }
}

TEST_F(FaultInjection, MapChangesLengthBetweenLoadAndCompile) {
    // Cut inside the tag data (everything the compile reads is still there), inside the string
    // data, and grown by a few bytes: the file no longer is the map that was loaded. Refused, and
    // left as it now is. (Cut to nothing, the script fields are gone before that is noticed.)
    const std::size_t lengths[] = {before.size() - 100, static_cast<std::size_t>(layout.stringDataOffset) + 10,
                                   before.size() + 3, 0};
    for (const bool toOutput : {false, true}) {
        for (const std::size_t length : lengths) {
            SCOPED_TRACE(std::string(toOutput ? "-o" : "in place") + ", length " + std::to_string(length));
            test::WriteBytes(map, before);
            HaloPcMap loaded;
            loaded.LoadMap(map);
            fs::resize_file(map, length);
            const Bytes changed = test::ReadBytes(map);
            const std::string report = Compile(loaded, toOutput ? std::optional<fs::path>(dir / "new.map") : std::nullopt);
            ExpectError(report, length == 0 ? std::string("the scenario's node data size field lies outside the file")
                                            : "the map file changed since it was loaded (" + std::to_string(before.size()) +
                                                  " bytes then, " + std::to_string(length) + " now)");
            EXPECT_TRUE(test::ReadBytes(map) == changed);
            EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"level.map"});
            fs::remove(dir / "new.map");
        }
    }
}

TEST_F(FaultInjection, FileSizeLimitBelowTheGrownMap) {
    // The script grows the map by some dozens of bytes: a limit at the old size, and one a byte
    // past it, both lie below the grown map.
    for (const rlim_t limit : {static_cast<rlim_t>(before.size()), static_cast<rlim_t>(before.size() + 1)}) {
        SCOPED_TRACE("limit " + std::to_string(limit));
        ChildLimits limits;
        limits.fileSizeLimit = limit;
        const std::string report = InChild(limits, [&] { return LoadAndCompile(map, std::nullopt); });
        ExpectError(report, "File too large");
        ExpectMapUnchanged();
        EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"level.map"});
    }
}

TEST_F(FaultInjection, FileSizeLimitWithOutput) {
    // Below the map itself (the copy fails) and at the map's size (the growth fails).
    for (const rlim_t limit : {static_cast<rlim_t>(before.size() / 2), static_cast<rlim_t>(before.size())}) {
        SCOPED_TRACE("limit " + std::to_string(limit));
        ChildLimits limits;
        limits.fileSizeLimit = limit;
        const std::string report = InChild(limits, [&] { return LoadAndCompile(map, dir / "new.map"); });
        ExpectError(report, "File too large");
        ExpectMapUnchanged();
        EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"level.map"});
    }
}

}  // namespace
}  // namespace xsc

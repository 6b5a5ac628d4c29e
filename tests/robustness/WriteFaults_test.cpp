// Faults from the system around a compile, in place and with -o: a map that may not be written,
// a map that disappears or changes length between load and compile, a file-size limit below the
// grown map, an output folder that may not be written. Each ends with a clear error, the map's
// bytes exactly as before and no stray temporary file; and the temporary file a killed -o compile
// left behind is removed by the next one, unless a live compile holds it.
//
// Root may write read-only files, so permission faults run in a forked child that drops to user
// and group 65534 (nobody) and first proves it can no longer write what it must not. Windows has
// no fork, user switch or file-size limit: those two tests are skipped there, saying so.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <filesystem>
#include <optional>
#include <set>

#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/NativeFile.h"
#include "runtime/XmlDocument.h"
#include "compile/BuildScriptData.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

namespace fs = std::filesystem;
using Output = std::optional<fs::path>;
#ifdef _WIN32
constexpr const char* kNeedsPosix = "needs fork, setuid and setrlimit, which Windows does not have";
#else
constexpr uid_t kNobody = 65534;
#endif

// One compile of a small script; "compiled", or "error: <message>" for xsc::Error.
std::string Compile(HaloPcMap& map, const Output& output) {
    try {
        ScriptCompilier state;
        BuildScriptData(map, XmlDocument::LoadXml("<s><a NameAttr='main'><ScriptCommand Command='sleep' EngineId='22' "
                                                  "ValueType='4'><ScriptValue ValueType='7' Value='30'/></ScriptCommand></a></s>"),
                        state, {.output = output});
        return "compiled";
    } catch (const Error& e) {
        return std::string("error: ") + e.what();
    }
}

std::string LoadAndCompile(const fs::path& path, const Output& output) {
    HaloPcMap map;
    map.LoadMap(path);
    return Compile(map, output);
}

std::set<std::string> Listing(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

#ifndef _WIN32
// Runs `body` in a forked child, unprivileged or under a file-size limit; returns its report.
template <typename Body>
std::string InChild(bool dropPrivileges, std::optional<rlim_t> fileSizeLimit, Body body) {
    int channel[2];
    if (::pipe(channel) != 0) return "setup: pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::string report;
        if (fileSizeLimit) {
            std::signal(SIGXFSZ, SIG_IGN);  // an over-limit write then fails with EFBIG
            const rlimit limit{*fileSizeLimit, *fileSizeLimit};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) report = "setup: setrlimit failed";
        }
        if (dropPrivileges && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            report = "setup: cannot drop privileges";
        }
        if (report.empty()) report = body();
        [[maybe_unused]] const ssize_t written = ::write(channel[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[512];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) report.append(buffer, static_cast<std::size_t>(got));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? report : "the child died (status " + std::to_string(status) + ")";
}
#endif

// `expected`: "compiled", or a phrase of the error.
void ExpectReport(const std::string& report, const std::string& expected) {
    const bool compiled = expected == "compiled";
    EXPECT_EQ(report.rfind(compiled ? expected : "error: ", 0), 0u) << report;
    EXPECT_NE(report.find(expected), std::string::npos) << report;
}

class WriteFaults : public ::testing::Test {
protected:
    void SetUp() override {
        // Searchable by the unprivileged child, not writable by it.
        fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
        layout = mapgen::WriteMap(map, test::SmallMap(21));
        before = test::ReadBytes(map);
    }

    test::TempDir dir;
    fs::path map = dir / "level.map";
    mapgen::MapLayout layout;
    test::Bytes before;
};

TEST_F(WriteFaults, ReadOnlyMapAndOutputFolders) {
#ifdef _WIN32
    GTEST_SKIP() << kNeedsPosix;
#else
    constexpr fs::perms kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    constexpr fs::perms kExec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    fs::permissions(map, kReadOnly);
    const fs::path locked = dir / "locked", own = dir / "own";
    fs::create_directory(locked);
    fs::permissions(locked, kReadOnly | kExec);  // unwritable even for its owner
    fs::create_directory(own);
    ASSERT_TRUE(::geteuid() != 0 || ::chown(own.c_str(), kNobody, kNobody) == 0);

    const struct {
        Output output;
        std::string expected;
    } cases[] = {
        {std::nullopt, "cannot open for writing: Permission denied"},
        {locked / "new.map", "cannot create a temporary file in " + locked.string()},
        {own / "new.map", "compiled"},  // -o only reads the map
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output ? c.output->string() : "in place");
        const std::string report = InChild(true, std::nullopt, [&]() -> std::string {
            if (::access(map.c_str(), W_OK) == 0 || ::access(locked.c_str(), W_OK) == 0) return "setup: still writable";
            return LoadAndCompile(map, c.output);
        });
        ExpectReport(report, c.expected);
        EXPECT_TRUE(test::ReadBytes(map) == before) << "the map's bytes changed";
    }
    EXPECT_EQ(fs::status(own / "new.map").permissions(), kReadOnly);
    EXPECT_EQ(Listing(own), std::set<std::string>{"new.map"});
    EXPECT_TRUE(Listing(locked).empty());
    EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"level.map", "locked", "own"}));
#endif
}

TEST_F(WriteFaults, MapDisappearsOrChangesLengthBetweenLoadAndCompile) {
    // Cut inside the tag data (all the compile reads is still there), inside the string data,
    // grown by a few bytes, cut to nothing, and removed (-1).
    const std::int64_t size = static_cast<std::int64_t>(before.size());
    const std::int64_t lengths[] = {size - 100, std::int64_t{layout.stringDataOffset} + 10, size + 3, 0, -1};
    for (const Output& output : {Output(), Output(dir / "new.map")}) {
        for (const std::int64_t length : lengths) {
            SCOPED_TRACE((output ? "-o, length " : "in place, length ") + std::to_string(length));
            test::WriteBytes(map, before);
            HaloPcMap loaded;
            loaded.LoadMap(map);
            length < 0 ? void(fs::remove(map)) : fs::resize_file(map, static_cast<std::uintmax_t>(length));
            const test::Bytes changed = length < 0 ? test::Bytes() : test::ReadBytes(map);
            ExpectReport(Compile(loaded, output),
                         length < 0 ? std::string(output ? "cannot open for reading: " : "cannot open for writing: ") +
                                          test::NoSuchFileReason()
                                    : "the map file changed since it was loaded (" + std::to_string(size) + " bytes then, " +
                                          std::to_string(length) + " now)");
            EXPECT_TRUE(length < 0 || test::ReadBytes(map) == changed);
            EXPECT_EQ(Listing(dir.Path()), length < 0 ? std::set<std::string>() : std::set<std::string>{"level.map"});
        }
    }
}

TEST_F(WriteFaults, FileSizeLimitBelowTheGrownMap) {
#ifdef _WIN32
    GTEST_SKIP() << kNeedsPosix;
#else
    // In place: at the old size and a byte past it (both below the grown map). With -o: below
    // the map itself (the copy fails) and at its size (the growth fails).
    const std::pair<Output, rlim_t> cases[] = {
        {std::nullopt, before.size()}, {std::nullopt, before.size() + 1}, {dir / "new.map", before.size() / 2}, {dir / "new.map", before.size()}};
    for (const auto& [output, limit] : cases) {
        SCOPED_TRACE((output ? "-o, limit " : "in place, limit ") + std::to_string(limit));
        ExpectReport(InChild(false, limit, [&] { return LoadAndCompile(map, output); }), "File too large");
        EXPECT_TRUE(test::ReadBytes(map) == before) << "the map's bytes changed";
        EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"level.map"});
    }
#endif
}

TEST_F(WriteFaults, TheTemporaryFileOfAKilledCompileIsRemovedByTheNext) {
    test::WriteBytes(dir / ".new.map.xsc-dead01", before);  // its writer is gone
    test::WriteBytes(dir / ".new.map.xsc-live01", before);  // its writer holds its lock
    NativeFile live = NativeFile::Open(dir / ".new.map.xsc-live01", NativeFile::Access::Read);
    ASSERT_EQ(live.TryLock(NativeFile::LockKind::Exclusive), NativeFile::LockResult::Taken);
    EXPECT_EQ(LoadAndCompile(map, dir / "new.map"), "compiled");
    live.Close();
    EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{".new.map.xsc-live01", "level.map", "new.map"}));
}

}  // namespace
}  // namespace xsc

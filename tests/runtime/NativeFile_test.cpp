// The file primitives, which have one implementation per system, held to one behaviour: these
// tests run on Linux and, built for Windows, under wine. Locks of two opens exclude each other as
// their kinds say and never block reading or writing the file; names are created only where
// nothing stands, replaced while others hold the file open, and removed once; UTF-8 names reach
// the disk as the same characters.

#include <gtest/gtest.h>

#include <set>

#include "runtime/NativeFile.h"
#include "runtime/Utf8Path.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

using Kind = NativeFile::LockKind;
using Result = NativeFile::LockResult;

NativeFile OpenOrFail(const std::filesystem::path& path, NativeFile::Access access) {
    NativeFile file = NativeFile::Open(path, access);
    EXPECT_TRUE(file.IsOpen()) << SystemReason();
    return file;
}

TEST(NativeFile, LocksOfTwoOpensExcludeEachOtherByKind) {
    test::TempDir dir;
    const auto path = dir / "level.map";
    test::WriteText(path, "0123456789");
    const struct {
        Kind held, wanted;
        Result expected;
    } cases[] = {
        {Kind::Shared, Kind::Shared, Result::Taken},
        {Kind::Shared, Kind::Exclusive, Result::Busy},
        {Kind::Exclusive, Kind::Shared, Result::Busy},
        {Kind::Exclusive, Kind::Exclusive, Result::Busy},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "held " << int(c.held) << ", wanted " << int(c.wanted));
        NativeFile holder = OpenOrFail(path, NativeFile::Access::Read);
        ASSERT_EQ(holder.TryLock(c.held), Result::Taken);
        NativeFile other = OpenOrFail(path, NativeFile::Access::Read);
        EXPECT_EQ(other.TryLock(c.wanted), c.expected);
        holder.Close();
        NativeFile later = OpenOrFail(path, NativeFile::Access::Read);
        EXPECT_EQ(later.TryLock(Kind::Exclusive), c.expected == Result::Taken ? Result::Busy : Result::Taken)
            << "closing the holder releases its lock (and only its)";
    }
}

TEST(NativeFile, ALockedFileIsReadAndWrittenThroughAnotherOpen) {
    test::TempDir dir;
    const auto path = dir / "level.map";
    test::WriteText(path, "0123456789");
    NativeFile lock = OpenOrFail(path, NativeFile::Access::Read);
    ASSERT_EQ(lock.TryLock(Kind::Exclusive), Result::Taken);
    NativeFile file = OpenOrFail(path, NativeFile::Access::ReadWrite);
    EXPECT_EQ(file.WriteAt("abc", 3, 8), 3);  // across the old end
    char bytes[16] = {};
    EXPECT_EQ(file.ReadAt(bytes, sizeof bytes, 0), 11);
    EXPECT_EQ(std::string(bytes, 11), "01234567abc");
    EXPECT_EQ(file.ReadAt(bytes, sizeof bytes, 11), 0) << "at the end";
    EXPECT_TRUE(file.Allocate(11, 20) && file.Size() == 20 && file.SetSize(4) && file.Size() == 4);
    EXPECT_TRUE(file.Sync());
    EXPECT_EQ(test::ReadText(path), "0123");
}

TEST(NativeFile, NamesAreCreatedWhereNothingStandsReplacedAndRemovedOnce) {
    test::TempDir dir;
    const auto target = dir / "out.map";
    EXPECT_TRUE(NativeFile::CreateNew(target).IsOpen());
    EXPECT_FALSE(NativeFile::CreateNew(target).IsOpen()) << "a second create of one name";

    std::set<std::filesystem::path> created;
    for (int i = 0; i < 3; ++i) {
        std::filesystem::path name;
        NativeFile file = NativeFile::CreateUnique(dir / ".out.map.xsc-", name);
        ASSERT_TRUE(file.IsOpen()) << SystemReason();
        EXPECT_EQ(Utf8(name.filename()).rfind(".out.map.xsc-", 0), 0u) << Utf8(name);
        EXPECT_EQ(Utf8(name.filename()).size(), std::string(".out.map.xsc-").size() + 6) << Utf8(name);
        EXPECT_EQ(file.WriteAt("new", 3, 0), 3);
        created.insert(name);
    }
    ASSERT_EQ(created.size(), 3u);

    test::WriteText(target, "old");
#ifndef _WIN32
    // Replaced while another open holds it, as a reader of the old map may. (Windows, and wine,
    // refuse to replace a file that is open elsewhere: the compile then says so and removes its
    // temporary file.)
    NativeFile reader = OpenOrFail(target, NativeFile::Access::Read);
#endif
    EXPECT_TRUE(ReplaceName(*created.begin(), target)) << SystemReason();
    EXPECT_EQ(test::ReadText(target), "new");
#ifndef _WIN32
    char bytes[3] = {};
    EXPECT_EQ(reader.ReadAt(bytes, 3, 0), 3);
    EXPECT_EQ(std::string(bytes, 3), "old") << "the open file is the one it opened";
#endif

    EXPECT_EQ(RemoveName(target), RemoveResult::Removed);
    EXPECT_EQ(RemoveName(target), RemoveResult::Missing);
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(NativeFile, Utf8NamesReachTheDiskAsTheSameCharacters) {
    test::TempDir dir;
    const std::string names[] = {"niveau é.map", "карта.map", "地図 1.map", "emoji \xF0\x9F\x8E\xAE.map"};
    for (const std::string& name : names) {
        NativeFile file = NativeFile::CreateNew(dir.Path() / PathFromUtf8(name));
        EXPECT_TRUE(file.IsOpen()) << name << ": " << SystemReason();
    }
    std::set<std::string> listed;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) listed.insert(Utf8(entry.path().filename()));
    EXPECT_EQ(listed, std::set<std::string>(std::begin(names), std::end(names)));
}

}  // namespace
}  // namespace xsc

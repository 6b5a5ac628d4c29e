// The flush behind a writer: a flush that fails on its thread is reported by Finish, never lost
// (the system reports a write error once, so the writer's closing flush may not see it again); a
// writer that stops before enough bytes were written asks for no flush.

#include <gtest/gtest.h>

#include "runtime/Error.h"
#include "runtime/FlushBehind.h"
#include "runtime/NativeFile.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

TEST(FlushBehind, AFailedFlushIsThrownByFinish) {
#ifdef _WIN32
    GTEST_SKIP() << "nothing is flushed behind the writer on Windows";
#endif
    NativeFile notOpen;  // every flush of it fails
    FlushBehind flushing(notOpen, 8);
    flushing.Written(5);
    EXPECT_NO_THROW(flushing.Finish()) << "5 bytes of 8 ask for no flush";

    FlushBehind failing(notOpen, 8);
    failing.Written(5);
    failing.Written(3);
    try {
        failing.Finish();
        ADD_FAILURE() << "the failed flush was not reported";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("cannot flush to disk: "), std::string::npos) << e.what();
    }
}

TEST(FlushBehind, FlushesOfAnOpenFileEndQuietly) {
    test::TempDir dir;
    test::WriteText(dir / "level.map", "0123456789");
    NativeFile file = NativeFile::Open(dir / "level.map", NativeFile::Access::ReadWrite);
    ASSERT_TRUE(file.IsOpen());
    FlushBehind flushing(file, 4);
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(file.WriteAt("abcd", 4, 4 * i), 4);
        flushing.Written(4);
    }
    EXPECT_NO_THROW(flushing.Finish());
}

}  // namespace
}  // namespace xsc

// The text of the test hook XSC_PAUSE_AT: a point, and which passage of it holds the process. (The
// hold itself is exercised on real processes by tests/e2e/crash_and_lock.sh.)

#include <gtest/gtest.h>

#include "runtime/PausePoint.h"

namespace xsc {
namespace {

TEST(PausePoint, TheHookNamesAPointAndWhichPassageOfIt) {
    struct Case {
        const char* text;
        const char* point;
        long long passage;
    };
    const Case cases[] = {
        {"locked", "locked", 1},
        {"chunk moved#4", "chunk moved", 4},
        {"write#12", "write", 12},
        {"a#b#2", "a#b", 2},  // the last "#" counts
        // A count that is no positive whole number belongs to the name, which no point has.
        {"write#0", "write#0", 1},
        {"write#-1", "write#-1", 1},
        {"write#", "write#", 1},
        {"write#3x", "write#3x", 1},
        {"write#99999999999999999999", "write#99999999999999999999", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<PauseTarget> target = ParsePauseTarget(c.text);
        ASSERT_TRUE(target.has_value());
        EXPECT_EQ(target->point, c.point);
        EXPECT_EQ(target->passage, c.passage);
    }
    EXPECT_FALSE(ParsePauseTarget("").has_value());
}

}  // namespace
}  // namespace xsc

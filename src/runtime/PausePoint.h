#pragma once
// A test hook: the end-to-end tests hold a real process at a named point of its work (the map's
// lock taken, the journal on disk, part-way through the move, the temporary file of -o created)
// to kill it there, or to run a second compile against it, instead of guessing with timers.
// Three environment variables arm it:
//
//   XSC_PAUSE_AT       the point: NAME, or NAME#N for the N-th time the process passes it
//   XSC_PAUSE_ARRIVED  a file the process creates when it arrives there
//   XSC_PAUSE_HOLD     a file the test owns: the process waits there for as long as it exists
//
// The points are every fault point (FaultPoint.h: "write", "flush", "copy", ...) and the named
// states below. Unset, as in normal use, a pause point costs one comparison. A process held for
// longer than kLongestPause (a test that died without releasing it) stops as a kill would.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace xsc {

// The named states a test can hold a process at.
namespace pause {
inline constexpr std::string_view kLocked = "locked";              // the map opened and locked
inline constexpr std::string_view kJournalWritten = "journal written";  // on disk, the map untouched
inline constexpr std::string_view kMarked = "marked";              // the compile mark on disk
inline constexpr std::string_view kChunkMoved = "chunk moved";     // one chunk of the move written
inline constexpr std::string_view kUnmarked = "unmarked";          // every change on disk, the journal kept
inline constexpr std::string_view kTemporaryFileCreated = "temporary file created";  // beside OUT, locked
inline constexpr std::string_view kWindowShown = "window shown";  // the desktop application's window
}  // namespace pause

inline constexpr std::chrono::minutes kLongestPause{10};

// XSC_PAUSE_AT's text taken apart: "chunk moved#3" is the point "chunk moved", the third time.
struct PauseTarget {
    std::string point;
    long long passage = 1;  // counted from 1
};
// Empty for an empty text; a "#" that no positive count follows is part of the name.
std::optional<PauseTarget> ParsePauseTarget(std::string_view text);

// Holds the process here when the hook names this point and this passage; else returns at once.
void PausePoint(std::string_view point);

}  // namespace xsc

#include "runtime/PausePoint.h"

#include <QString>
#include <QThread>
#include <QtGlobal>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "runtime/NativeFile.h"
#include "runtime/Utf8Path.h"

namespace xsc {
namespace {

// How often a held process looks whether its hold file is gone.
constexpr unsigned long kHoldPollMilliseconds = 5;

struct PauseHook {
    PauseTarget target;
    std::filesystem::path arrived;  // empty: no signal
    std::filesystem::path hold;     // empty: no wait
    long long passed = 0;
};

// A path from the environment as the system gives it (UTF-16 on Windows, where the narrow
// environment is in a code page).
std::filesystem::path PathVariable(const char* name) {
    if (!qEnvironmentVariableIsSet(name)) return {};
    return std::filesystem::path(qEnvironmentVariable(name).toStdU16String());
}

std::optional<PauseHook> ReadHook() {
    const std::optional<PauseTarget> target = ParsePauseTarget(qEnvironmentVariable("XSC_PAUSE_AT").toStdString());
    if (!target) return std::nullopt;
    return PauseHook{*target, PathVariable("XSC_PAUSE_ARRIVED"), PathVariable("XSC_PAUSE_HOLD")};
}

void Say(const std::string& line) { std::fprintf(stderr, "xsc: test hook XSC_PAUSE_AT: %s\n", line.c_str()); }

void Arrive(const PauseHook& hook) {
    if (hook.arrived.empty()) return;
    if (!NativeFile::CreateNew(hook.arrived).IsOpen()) Say("cannot create " + Utf8(hook.arrived) + ": " + SystemReason());
}

// Waits while the hold file exists. Past kLongestPause nobody is left to release the process: it
// ends at once, as a kill would end it there.
void Hold(const PauseHook& hook) {
    if (hook.hold.empty()) return;
    const auto deadline = std::chrono::steady_clock::now() + kLongestPause;
    std::error_code ec;
    while (std::filesystem::exists(hook.hold, ec)) {
        if (std::chrono::steady_clock::now() > deadline) {
            Say("held at \"" + hook.target.point + "\" for " + std::to_string(kLongestPause.count()) +
                " minutes without being released; stopping");
            std::fflush(stderr);
            std::_Exit(1);
        }
        QThread::msleep(kHoldPollMilliseconds);
    }
}

}  // namespace

std::optional<PauseTarget> ParsePauseTarget(std::string_view text) {
    if (text.empty()) return std::nullopt;
    const std::size_t hash = text.rfind('#');
    if (hash != std::string_view::npos) {
        long long passage = 0;
        const char* first = text.data() + hash + 1;
        const char* last = text.data() + text.size();
        const auto [end, error] = std::from_chars(first, last, passage);
        if (first != last && error == std::errc() && end == last && passage > 0) {
            return PauseTarget{std::string(text.substr(0, hash)), passage};
        }
    }
    return PauseTarget{std::string(text), 1};
}

void PausePoint(std::string_view point) {
    static std::optional<PauseHook> hook = ReadHook();
    if (!hook) return;
    if (point != hook->target.point || ++hook->passed != hook->target.passage) return;
    Arrive(*hook);
    Hold(*hook);
}

}  // namespace xsc

// The program's arguments and streams on POSIX systems: argv is already the program's text.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/Process.h"

namespace xsc {

std::vector<std::string> ProgramArguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

void SetBinaryMode(std::FILE*) {}

std::size_t ReadStandardInput(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, size);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) return 0;
    }
}

std::optional<unsigned> NewFilePermissions() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666u & ~static_cast<unsigned>(mask);
}

}  // namespace xsc

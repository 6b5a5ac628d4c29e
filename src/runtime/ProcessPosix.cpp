// The program's arguments and streams on POSIX systems: argv is already the program's text.

#include <sys/stat.h>

#include "runtime/Process.h"

namespace xsc {

std::vector<std::string> ProgramArguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

void SetBinaryMode(std::FILE*) {}

std::optional<unsigned> NewFilePermissions() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666u & ~static_cast<unsigned>(mask);
}

}  // namespace xsc

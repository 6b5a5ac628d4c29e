#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "Cli.h"
#include "runtime/Process.h"

int main(int argc, char** argv) {
#ifdef SIGXFSZ
    // A file-size limit must surface as an error from the write that hits it, not kill us.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // A script read from standard input is taken byte for byte, as a script file is.
    xsc::SetBinaryMode(stdin);
    const std::vector<std::string> arguments = xsc::ProgramArguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    return xsc::cli::RunXsc(static_cast<int>(pointers.size()), pointers.data(), std::cin, std::cout, std::cerr);
}

#include <csignal>
#include <iostream>

#include "Cli.h"

int main(int argc, char** argv) {
    // A file-size limit must surface as an error from the write that hits it, not kill us.
    std::signal(SIGXFSZ, SIG_IGN);
    return xsc::cli::RunXsc(argc, argv, std::cin, std::cout, std::cerr);
}

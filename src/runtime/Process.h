#pragma once
// What a program takes from the system it starts on: its arguments as UTF-8 text and standard
// streams that pass bytes unchanged. On Windows the arguments arrive as UTF-16 (the narrow argv
// is in a code page and loses characters) and standard streams turn LF into CR LF unless told.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace xsc {

// The program's arguments, argv[0] included, in UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);
// Makes `stream` pass bytes unchanged (no CR LF for LF); nothing to do on POSIX systems.
void SetBinaryMode(std::FILE* stream);
// Reads what standard input has: waits for at least one byte, takes at most `size`, and returns
// how many it took; 0 at the end of input (or when it cannot be read). Unlike fread, it does not
// wait for the buffer to fill, so a reader sees each message as soon as it arrives.
std::size_t ReadStandardInput(char* buffer, std::size_t size);
// The permission bits a new file of this user gets (0666 less the umask), where files have them.
std::optional<unsigned> NewFilePermissions();

}  // namespace xsc

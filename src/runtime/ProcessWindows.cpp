// The program's arguments and streams on Windows: the wide command line turned into UTF-8, and
// the C runtime's text mode switched off where bytes matter.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <algorithm>

#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include "runtime/Process.h"

namespace xsc {
namespace {

std::string Utf8FromWide(const wchar_t* wide) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string text(static_cast<std::size_t>(bytes - 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), bytes, nullptr, nullptr);
    return text;
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

void SetBinaryMode(std::FILE* stream) { _setmode(_fileno(stream), _O_BINARY); }

std::size_t ReadStandardInput(char* buffer, std::size_t size) {
    // _read of a pipe returns what has arrived, as ReadFile does; -1 on an error.
    const int got = _read(0, buffer, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

std::optional<unsigned> NewFilePermissions() { return std::nullopt; }

}  // namespace xsc

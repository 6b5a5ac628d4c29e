#pragma once
// File names as the program's text (UTF-8) and as paths. A narrow std::string given to a path is
// taken in the system's narrow encoding, which on Windows is a code page, not UTF-8: a name with
// an accent would name another file. These go through UTF-8 explicitly; on POSIX systems they
// change nothing.

#include <filesystem>
#include <string>
#include <string_view>

namespace xsc {

inline std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace xsc

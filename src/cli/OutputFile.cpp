#include "OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>

#include "runtime/Error.h"
#include "runtime/Process.h"
#include "runtime/TemporaryFile.h"

namespace xsc::cli {
namespace {

// A new script gets the permissions any new file of the user gets (0666 less the umask, where
// files have permission bits); a temporary file starts as the owner's only.
void GiveNewFilePermissions(const std::filesystem::path& path) {
    const std::optional<unsigned> bits = NewFilePermissions();
    if (!bits) return;
    std::error_code ignored;  // a file that keeps the owner's permissions only is still whole
    std::filesystem::permissions(path, static_cast<std::filesystem::perms>(*bits), ignored);
}

}  // namespace

void WriteWholeFile(const std::filesystem::path& output, const std::string& text) {
    std::error_code ignored;
    const bool replacing = std::filesystem::exists(output, ignored);
    // A script written over an older one keeps that file's permissions.
    TemporaryFile temporary = TemporaryFile::Beside(output, replacing ? &output : nullptr);
    {
        std::ofstream file(temporary.Path(), std::ios::binary | std::ios::trunc);
        file << text;
        file.close();
        if (!file) throw Error("cannot write: " + std::string(std::strerror(errno)), Error::Subject::Output);
    }
    if (!replacing) GiveNewFilePermissions(temporary.Path());
    temporary.CommitTo(output);
}

void WriteToOutput(std::ostream& out, const std::string& text) {
    if (&out == &std::cout) {
        std::cout.flush();
        SetBinaryMode(stdout);
    }
    out << text;
}

}  // namespace xsc::cli

#include "DecompileCommand.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <ostream>

#include "MapOpening.h"
#include "compiler/Decompile.h"
#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/Process.h"
#include "runtime/TemporaryFile.h"
#include "runtime/Utf8Path.h"
#include "scriptdata/ReadScriptData.h"

namespace xsc::cli {
namespace {

// A new document gets the permissions any new file of the user gets (0666 less the umask, where
// files have permission bits); a temporary file starts as the owner's only.
void GiveNewFilePermissions(const std::filesystem::path& path) {
    const std::optional<unsigned> bits = NewFilePermissions();
    if (!bits) return;
    std::error_code ignored;  // a file that keeps the owner's permissions only is still whole
    std::filesystem::permissions(path, static_cast<std::filesystem::perms>(*bits), ignored);
}

void WriteWhole(const std::filesystem::path& output, const std::string& document) {
    std::error_code ignored;
    const bool replacing = std::filesystem::exists(output, ignored);
    // A document written over an older one keeps that file's permissions.
    TemporaryFile temporary = TemporaryFile::Beside(output, replacing ? &output : nullptr);
    {
        std::ofstream file(temporary.Path(), std::ios::binary | std::ios::trunc);
        file << document;
        file.close();
        if (!file) throw Error("cannot write: " + std::string(std::strerror(errno)), Error::Subject::Output);
    }
    if (!replacing) GiveNewFilePermissions(temporary.Path());
    temporary.CommitTo(output);
}

}  // namespace

void RunDecompile(const DecompileArgs& args, std::ostream& out, std::ostream& err) {
    const HaloPcMap map = OpenMapForCommand(args.map, err);
    const CompiledScriptData data = ReadScriptData(map);
    const std::string document = Decompile(data);
    if (!args.output) {
        // The document's bytes as they are: no line ends turned into CR LF on the way.
        if (&out == &std::cout) {
            std::cout.flush();
            SetBinaryMode(stdout);
        }
        out << document;
        return;
    }
    WriteWhole(*args.output, document);
    const std::size_t scripts = data.ScriptCount();
    out << "decompiled " << scripts << (scripts == 1 ? " script" : " scripts") << " from " << Utf8(args.map)
        << " into " << Utf8(*args.output) << "\n";
}

}  // namespace xsc::cli

#include "DecompileCommand.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <ostream>

#include "MapOpening.h"
#include "compiler/Decompile.h"
#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/TemporaryFile.h"
#include "scriptdata/ReadScriptData.h"

namespace xsc::cli {
namespace {

// A new document gets the permissions any new file of the user gets (0666 less the umask); a
// temporary file starts as the owner's only.
void GiveNewFilePermissions(const std::filesystem::path& path) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    std::error_code ignored;  // a file that keeps the owner's permissions only is still whole
    std::filesystem::permissions(path, static_cast<std::filesystem::perms>(0666 & ~mask), ignored);
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
        out << document;
        return;
    }
    WriteWhole(*args.output, document);
    const std::size_t scripts = data.ScriptCount();
    out << "decompiled " << scripts << (scripts == 1 ? " script" : " scripts") << " from " << args.map.string()
        << " into " << args.output->string() << "\n";
}

}  // namespace xsc::cli

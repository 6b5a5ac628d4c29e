#include "ScriptFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "runtime/Error.h"

namespace xsc::cli {

std::string ReadScript(const std::string& script, std::istream& in) {
    if (script == "-") return std::string(std::istreambuf_iterator<char>(in), {});
    std::ifstream file(script, std::ios::binary);
    if (!file) throw Error("cannot read the script " + script + ": " + std::strerror(errno));
    // A folder opens, but reading it fails (the stream then throws rather than ending).
    try {
        return std::string(std::istreambuf_iterator<char>(file), {});
    } catch (const std::ios_base::failure&) {
        throw Error("cannot read the script " + script + ": " + std::strerror(errno));
    }
}

std::string ScriptLabel(const std::string& script) { return script == "-" ? "<stdin>" : script; }

}  // namespace xsc::cli

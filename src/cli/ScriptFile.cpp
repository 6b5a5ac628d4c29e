#include "ScriptFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/Text.h"
#include "runtime/Utf8Path.h"

namespace xsc::cli {

std::string ReadScript(const std::string& script, std::istream& in) {
    if (script == "-") return std::string(std::istreambuf_iterator<char>(in), {});
    const std::filesystem::path path = PathFromUtf8(script);
    // Said in so many words: a folder opens on some systems and fails with "permission denied" on
    // others.
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) throw Error("cannot read the script " + script + ": it is a folder");
    std::ifstream file(path, std::ios::binary);
    if (!file) throw Error("cannot read the script " + script + ": " + std::strerror(errno));
    // A folder that appears between the check and the open opens, but reading it fails (the
    // stream then throws rather than ending).
    try {
        return std::string(std::istreambuf_iterator<char>(file), {});
    } catch (const std::ios_base::failure&) {
        throw Error("cannot read the script " + script + ": " + std::strerror(errno));
    }
}

namespace {

bool FileLooksLikeScript(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string head(64, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return LooksLikeScript(head);
}

}  // namespace

void RefuseMapAsScript(const std::string& script, const std::optional<std::filesystem::path>& map) {
    if (!HaloPcMap::HasHeaderCode(script)) return;
    std::string message = "this is a map, not a script";
    if (map && FileLooksLikeScript(*map)) {
        message += ", and " + Utf8(*map) + " is a script: the two are swapped (the map comes first: xsc compile MAP SCRIPT)";
    }
    throw Error(message, Error::Subject::Script);
}

std::string ScriptLabel(const std::string& script) { return script == "-" ? "<stdin>" : script; }

ScriptLanguage LanguageOfScriptArgument(const std::string& script, const std::string& text) {
    return script == "-" ? DetectScriptLanguage(text) : LanguageOfScript(PathFromUtf8(script), text);
}

}  // namespace xsc::cli

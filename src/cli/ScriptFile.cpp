#include "ScriptFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <algorithm>
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

namespace {

// Every .hsc file of a folder (any letter case of the extension), in name order.
std::vector<std::string> SourcesInFolder(const std::string& folder) {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(folder), ec)) {
        if (entry.is_regular_file(ec) && LanguageOfExtension(entry.path()) == ScriptLanguage::Source) {
            found.push_back(Utf8(entry.path()));
        }
    }
    if (ec) throw Error("cannot read the folder " + folder + ": " + ec.message());
    if (found.empty()) throw Error("the folder " + folder + " holds no .hsc file");
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

std::vector<hsc::SourceFile> ScriptProgram::SourceFiles() const {
    std::vector<hsc::SourceFile> sources;
    for (const File& f : files) sources.push_back({Several() ? f.label : std::string(), f.bytes});
    return sources;
}

ScriptProgram ReadScripts(const std::vector<std::string>& scripts, std::istream& in,
                          const std::optional<std::filesystem::path>& map) {
    std::vector<std::string> paths;
    for (const std::string& script : scripts) {
        std::error_code ignored;
        if (script != "-" && std::filesystem::is_directory(PathFromUtf8(script), ignored)) {
            const std::vector<std::string> found = SourcesInFolder(script);
            paths.insert(paths.end(), found.begin(), found.end());
        } else {
            paths.push_back(script);
        }
    }
    ScriptProgram program;
    for (const std::string& path : paths) {
        ScriptProgram::File file{ScriptLabel(path), ReadScript(path, in)};
        try {
            RefuseMapAsScript(file.bytes, map);
        } catch (const Error& e) {
            if (paths.size() == 1) throw;
            throw Error(file.label + ": " + e.what());
        }
        program.language = LanguageOfScriptArgument(path, file.bytes);
        if (paths.size() > 1 && program.language != ScriptLanguage::Source) {
            throw Error(file.label + " is in the XML language: several scripts make one program in the source language only");
        }
        program.label += (program.label.empty() ? "" : ", ") + file.label;
        program.files.push_back(std::move(file));
    }
    return program;
}

}  // namespace xsc::cli

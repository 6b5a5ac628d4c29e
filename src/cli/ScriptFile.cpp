#include "ScriptFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "map/MapFormat.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

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

namespace {

// A map's header code: "daeh" at 0 in any letter case, or the demo's "Ehed" at 0x2C0.
bool LooksLikeMap(std::string_view bytes) {
    using namespace mapformat;
    const auto at = [&bytes](std::int64_t offset, std::size_t size) {
        return static_cast<std::int64_t>(bytes.size()) >= offset + static_cast<std::int64_t>(size)
                   ? bytes.substr(static_cast<std::size_t>(offset), size)
                   : std::string_view();
    };
    return EqualsIgnoringCase(at(kHeaderCodeOffset, kHeaderCode.size()), kHeaderCode) ||
           at(kAlternateHeaderCodeField, kAlternateHeaderCode.size()) == kAlternateHeaderCode;
}

// XML starts with "<", after white space and a byte order mark.
bool LooksLikeXml(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string head(64, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const std::size_t text = head.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    return text != std::string::npos && head[text] == '<';
}

}  // namespace

void RefuseMapAsScript(const std::string& script, const std::optional<std::filesystem::path>& map) {
    if (!LooksLikeMap(script)) return;
    std::string message = "this is a map, not an XML script";
    if (map && LooksLikeXml(*map)) {
        message += ", and " + map->string() + " is a script: the two are swapped (the map comes first: xsc compile MAP SCRIPT)";
    }
    throw Error(message, Error::Subject::Script);
}

std::string ScriptLabel(const std::string& script) { return script == "-" ? "<stdin>" : script; }

}  // namespace xsc::cli

#include "lsp/ProjectConfig.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include "runtime/Error.h"
#include "runtime/Utf8Path.h"

namespace xsc::lsp {
namespace {

std::filesystem::path Resolve(const QJsonValue& value, const std::filesystem::path& root, const std::string& key) {
    if (!value.isString() || value.toString().isEmpty()) throw Error("\"" + key + "\" must be a file name (a non-empty string)");
    const std::filesystem::path path = PathFromUtf8(value.toString().toStdString());
    return (path.is_absolute() ? path : root / path).lexically_normal();
}

}  // namespace

ProjectConfig ReadProjectConfig(const QJsonObject& object, const std::filesystem::path& root, std::string origin) {
    ProjectConfig config;
    config.origin = std::move(origin);
    if (object.contains("map") && !object.value("map").isNull()) config.map = Resolve(object.value("map"), root, "map");
    if (object.contains("engine") && !object.value("engine").isNull()) {
        const std::string name = object.value("engine").toString().toStdString();
        config.build = engine::ParseBuildName(name);
        if (!config.build) throw Error("\"engine\" must be \"retail\", \"custom\" or \"demo\", not \"" + name + "\"");
    }
    const QJsonValue sources = object.value("sources");
    if (sources.isString()) {
        config.sources.push_back(Resolve(sources, root, "sources"));
    } else if (sources.isArray()) {
        for (const QJsonValue& source : sources.toArray()) config.sources.push_back(Resolve(source, root, "sources"));
    } else if (!sources.isUndefined() && !sources.isNull()) {
        throw Error("\"sources\" must be a list of files and folders");
    }
    const QJsonValue debounce = object.value("debounce");
    if (!debounce.isUndefined()) {
        if (!debounce.isDouble() || debounce.toDouble() < 0 || debounce.toDouble() > 10000) {
            throw Error("\"debounce\" must be a number of milliseconds from 0 to 10000");
        }
        config.debounceMilliseconds = debounce.toInt();
    }
    return config;
}

std::optional<ProjectConfig> LoadProjectFile(const std::filesystem::path& root) {
    const std::filesystem::path file = root / kProjectFileName;
    std::error_code error;
    if (root.empty() || !std::filesystem::is_regular_file(file, error)) return std::nullopt;
    QFile in(QString::fromStdString(Utf8(file)));
    if (!in.open(QIODevice::ReadOnly)) throw Error(Utf8(file) + ": " + in.errorString().toStdString());
    const QByteArray bytes = in.readAll();
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(bytes, &parseError);
    if (json.isNull()) throw Error(Utf8(file) + ": " + parseError.errorString().toStdString() + " at byte " + std::to_string(parseError.offset));
    if (!json.isObject()) throw Error(Utf8(file) + ": the project file holds one JSON object");
    try {
        return ReadProjectConfig(json.object(), root, Utf8(file));
    } catch (const Error& e) {
        throw Error(Utf8(file) + ": " + e.what());
    }
}

}  // namespace xsc::lsp

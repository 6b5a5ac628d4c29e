#include "FunctionsCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <iomanip>
#include <ostream>
#include <vector>

#include "engine/EngineTables.h"
#include "runtime/Error.h"

namespace xsc::cli {
namespace {

using engine::EngineFunction;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

bool Matches(const EngineFunction& f, const std::string& lowerPattern) {
    return Lower(f.name).find(lowerPattern) != std::string::npos;
}

// "-" for a function without a number of its own (cond).
std::string NumberText(const EngineFunction& f, engine::EngineBuild build) {
    const std::int32_t number = f.NumberIn(build);
    return number == EngineFunction::kNoNumber ? "-" : std::to_string(number);
}

// Why nothing matched: the matching functions of other builds, if any.
std::string NoMatch(const std::string& pattern, engine::EngineBuild build, const engine::EngineTables& tables) {
    std::string message = "no function of the " + std::string(engine::BuildName(build)) + " build matches \"" +
                          pattern + "\"";
    std::vector<std::string> elsewhere;
    for (const EngineFunction& f : tables.Functions()) {
        if (Matches(f, Lower(pattern)) && !f.In(build)) elsewhere.push_back(f.name);
    }
    if (!elsewhere.empty()) {
        message += " (other builds have ";
        for (std::size_t i = 0; i < elsewhere.size(); ++i) message += (i > 0 ? ", " : "") + elsewhere[i];
        message += ")";
    }
    return message;
}

void PrintTable(const std::vector<const EngineFunction*>& found, engine::EngineBuild build,
                const engine::EngineTables& tables, std::ostream& out) {
    std::size_t nameWidth = 4, typeWidth = 7;
    for (const EngineFunction* f : found) {
        nameWidth = std::max(nameWidth, f->name.size());
        typeWidth = std::max(typeWidth, tables.ValueTypeName(f->returns).size());
    }
    const auto row = [&](const std::string& name, const std::string& number, const std::string& returns,
                         const std::string& parameters) {
        out << std::left << std::setw(static_cast<int>(nameWidth) + 2) << name << std::setw(8) << number
            << std::setw(static_cast<int>(typeWidth) + 2) << returns << parameters << "\n";
    };
    row("name", "number", "returns", "parameters");
    for (const EngineFunction* f : found) {
        row(f->name, NumberText(*f, build), tables.ValueTypeName(f->returns), f->parametersText);
    }
}

void PrintJson(const std::vector<const EngineFunction*>& found, engine::EngineBuild build,
               const engine::EngineTables& tables, std::ostream& out) {
    QJsonArray functions;
    for (const EngineFunction* f : found) {
        const std::int32_t number = f->NumberIn(build);
        functions.append(QJsonObject{
            {"name", QString::fromStdString(f->name)},
            {"number", number == EngineFunction::kNoNumber ? QJsonValue() : QJsonValue(number)},
            {"returns", QString::fromStdString(tables.ValueTypeName(f->returns))},
            {"parameters", QString::fromStdString(f->parametersText)},
        });
    }
    const QJsonObject o{{"engine", QString::fromStdString(std::string(engine::BuildName(build)))},
                        {"functions", functions}};
    out << QJsonDocument(o).toJson(QJsonDocument::Indented).toStdString();
}

}  // namespace

void RunFunctions(const std::string& pattern, engine::EngineBuild build, bool json, std::ostream& out) {
    const engine::EngineTables& tables = engine::EngineTables::BuiltIn();
    const std::string lower = Lower(pattern);
    std::vector<const EngineFunction*> found;
    for (const EngineFunction& f : tables.Functions()) {
        if (f.In(build) && Matches(f, lower)) found.push_back(&f);
    }
    if (found.empty()) throw Error(NoMatch(pattern, build, tables));
    if (json) {
        PrintJson(found, build, tables, out);
    } else {
        PrintTable(found, build, tables, out);
    }
}

}  // namespace xsc::cli

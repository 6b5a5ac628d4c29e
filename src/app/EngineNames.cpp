#include "EngineNames.h"

#include "engine/EngineTables.h"

namespace xsc {

EngineNames::EngineNames(engine::EngineBuild build) : build_(build) {
    const engine::EngineTables& tables = engine::EngineTables::BuiltIn();
    for (const engine::EngineFunction& f : tables.Functions()) {
        if (f.In(build)) Add(f.name, kFunction);
    }
    for (const engine::EngineGlobal& g : tables.Globals()) {
        if (g.In(build)) Add(g.name, kGlobal);
    }
    for (const std::string& name : tables.ScriptTypes()) Add(name, kScriptType);
    for (const std::string& name : tables.ValueTypes()) Add(name, kValueType);
}

void EngineNames::Add(const std::string& name, Kind kind) { kinds_[QString::fromStdString(name)] |= kind; }

}  // namespace xsc

#pragma once
// The names of the engine tables the highlighting colours, for one build of the game: its
// functions and globals, the script types and the value types. Looked up once per name the field
// shows, so they are held in one hash of the field's own strings.

#include <QHash>
#include <QString>
#include <QStringView>

#include "engine/EngineBuild.h"

namespace xsc {

class EngineNames {
public:
    explicit EngineNames(engine::EngineBuild build);

    engine::EngineBuild Build() const { return build_; }
    // Names are matched exactly, as the check matches them; a function or global that the build
    // lacks is none of its.
    bool IsFunction(QStringView name) const { return Has(name, kFunction); }
    bool IsGlobal(QStringView name) const { return Has(name, kGlobal); }
    bool IsScriptType(QStringView name) const { return Has(name, kScriptType); }
    bool IsValueType(QStringView name) const { return Has(name, kValueType); }

private:
    enum Kind : unsigned { kFunction = 1, kGlobal = 2, kScriptType = 4, kValueType = 8 };
    bool Has(QStringView name, Kind kind) const { return (kinds_.value(name.toString()) & kind) != 0; }
    void Add(const std::string& name, Kind kind);

    engine::EngineBuild build_;
    QHash<QString, unsigned> kinds_;
};

}  // namespace xsc

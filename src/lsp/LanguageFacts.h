#pragma once
// What the features say about names: a function's signature as the tables write it, a
// declaration's header, the parameter type an argument slot expects, and where a name of the
// program is declared.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/EngineBuild.h"
#include "lsp/SourceIndex.h"

namespace xsc::engine {
class EngineTables;
struct EngineFunction;
struct EngineGlobal;
}

namespace xsc::lsp {

class TextDocument;
class Workspace;

// "(sleep short [script])".
std::string SignatureText(const engine::EngineFunction& function);
// The parameter items of the signature's text, in order: "short", "[script]", "(boolean passthrough)...".
std::vector<std::string> ParameterTexts(const engine::EngineFunction& function);
// Which parameter item argument `argument` (from 0) falls on; empty past the last.
std::optional<std::size_t> ParameterItemOf(const engine::EngineFunction& function, std::size_t argument);
// The value type argument `argument` expects; empty where the function takes no such argument.
std::optional<std::int32_t> ParameterTypeOf(const engine::EngineFunction& function, std::size_t argument);

// "Returns void. Function 34 in the custom build." or why the build lacks it.
std::string FunctionFacts(const engine::EngineFunction& function, engine::EngineBuild build,
                          const engine::EngineTables& tables);
// "Engine global: real." and the builds that lack it.
std::string GlobalFacts(const engine::EngineGlobal& global, engine::EngineBuild build, const engine::EngineTables& tables);
// "(script static boolean wave_beaten)", "(global short counter)".
std::string DeclarationText(const Declaration& declaration);

// A declaration of the program, with the document it stands in.
struct Declared {
    const TextDocument* document = nullptr;
    const Declaration* declaration = nullptr;
};
// Every declaration of `name` in the program of `uri` (more than one is a fault the check reports).
std::vector<Declared> FindDeclarations(Workspace& workspace, const std::vector<const TextDocument*>& program,
                                       const std::string& name);

}  // namespace xsc::lsp

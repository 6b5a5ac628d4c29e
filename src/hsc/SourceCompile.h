#pragma once
// The source language from text to the document the build phase compiles: read the forms,
// check them against one build's engine tables, lower the checked program to the XML language's
// elements. Every fault of every step is reported; the document exists only when none is an
// error.
//
// A program may be several files (a level's scripts and the shared scripts they use): their forms
// are read one file after the other and checked as one program, with one namespace of scripts
// and globals; every diagnostic names its file.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Diagnostic.h"
#include "engine/EngineBuild.h"
#include "runtime/XmlDocument.h"

namespace xsc::engine {
class EngineTables;
}

namespace xsc::hsc {

struct CompiledSource {
    std::optional<XmlDocument> document;
    std::vector<Diagnostic> diagnostics;  // in the order found
    bool windows1252 = false;             // a file was read in the Windows-1252 code page
};

// One file of a program: its name as diagnostics give it (empty for a lone script the front end
// names) and its bytes.
struct SourceFile {
    std::string name;
    std::string_view text;
};

CompiledSource CompileSource(std::string_view text, const engine::EngineTables& tables, engine::EngineBuild build);
CompiledSource CompileSources(const std::vector<SourceFile>& files, const engine::EngineTables& tables, engine::EngineBuild build);

}  // namespace xsc::hsc

#pragma once
// Reads source text into forms (SourceForm.h): the top-level forms in order, each a tree.
//
// Every syntax error is reported and reading goes on: a ")" without its "(" is skipped; a list
// still open when the text ends is reported at its "(" and dropped, with everything inside it.
// Lists nested deeper than kMaxNesting are refused: reading stops there. The tree is built
// with an explicit stack, so no input can exhaust the call stack.

#include <string_view>
#include <vector>

#include "common/Diagnostic.h"
#include "hsc/SourceForm.h"

namespace xsc::hsc {

struct ParsedSource {
    std::vector<Form> forms;
    std::vector<Diagnostic> errors;
};

ParsedSource ParseSource(std::string_view source);

}  // namespace xsc::hsc

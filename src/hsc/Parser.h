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
    bool windows1252 = false;  // the text is not UTF-8, and was read in the Windows-1252 code page
};

// `file`: the index of the source among the program's files, carried by every position. A text
// that is not UTF-8 is read as Windows-1252 (the game's own scripts are).
ParsedSource ParseSource(std::string_view source, std::int32_t file = 0);

}  // namespace xsc::hsc

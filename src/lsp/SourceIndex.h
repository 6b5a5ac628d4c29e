#pragma once
// What the language server knows of one document's text without checking it: its tokens with
// their byte ranges, its top-level declarations, and what stands around a cursor.
//
//   (script static boolean wave_beaten (<= (ai_living_count enc_wave_1) 2))
//   ^ form begins          ^ name            ^ call of "<=", argument 1 at "(ai_living..."
//
// Declarations are the top-level forms (script <type> [<return type>] <name> ...) and (global
// <type> <name> <expression>), read as the check reads their headers (a type may stand in double
// quotes); a form whose header cannot be read declares nothing. Tokens come from the source language's own lexer, so that the server
// splits text exactly as the compile does.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/TextDocument.h"

namespace xsc::lsp {

struct SyntaxToken {
    enum class Kind { Open, Close, Atom, String };
    Kind kind = Kind::Atom;
    std::size_t begin = 0;  // byte offsets; a string's include its quotes
    std::size_t end = 0;
    std::string text;       // an atom's or string's characters (a string's without the quotes)
};

struct Declaration {
    enum class Kind { Script, Global };
    Kind kind = Kind::Script;
    std::string name;
    std::string type;        // a script's type (static, dormant, ...), a global's value type
    std::string returnType;  // a script's, as written; empty when none is written
    std::size_t begin = 0;   // the whole form
    std::size_t end = 0;
    std::size_t nameBegin = 0;
    std::size_t nameEnd = 0;
};

// What stands around a cursor: the innermost list open at it.
struct CursorContext {
    int depth = 0;               // lists open at the cursor; 0 at the top level
    std::string head;            // the atom that opens the innermost list, if any
    bool inHead = false;         // the cursor is on (or just before) the head's place
    std::size_t argument = 0;    // otherwise: which argument of the head it is on, from 0
    std::vector<std::string> arguments;  // the arguments before it: a word's text, else empty
    bool inString = false;       // the cursor is inside a string
    std::string prefix;          // the part of a word before the cursor
    std::size_t prefixBegin = 0;
};

class SourceIndex {
public:
    explicit SourceIndex(const TextDocument& document);

    const std::vector<SyntaxToken>& Tokens() const { return tokens_; }
    const std::vector<Declaration>& Declarations() const { return declarations_; }
    bool HasComments() const { return hasComments_; }
    bool HasSyntaxErrors() const { return syntaxErrors_; }

    // The atom or string under a cursor (one that ends at the cursor counts); null when none.
    const SyntaxToken* WordAt(std::size_t offset) const;
    CursorContext ContextAt(std::size_t offset) const;
    // The end of the token that begins at `begin`: a word's end, or for "(" the end of the head
    // word behind it (so that a fault about a call underlines "(sleep"); `begin` + 1 otherwise.
    std::size_t MarkEnd(std::size_t begin) const;

private:
    void ReadTokens(const TextDocument& document);
    void ReadDeclarations(const TextDocument& document);

    std::vector<SyntaxToken> tokens_;
    std::vector<Declaration> declarations_;
    bool hasComments_ = false;
    bool syntaxErrors_ = false;
};

}  // namespace xsc::lsp

#pragma once
// Splits source text into tokens: "(", ")", atoms, strings. Between tokens stand blanks (space,
// tab, line feed, carriage return) and comments: ";" to the end of the line, and ";*" to the
// next "*;" (block comments do not nest). An atom runs until a blank, a parenthesis, a double
// quote or a ";". A string runs from a double quote to the next one and may span lines; there
// are no escapes.
//
// Faults are reported as errors, and the lexer goes on where it can: a string or block comment
// that never ends (the rest of the text is taken by it), and an atom or string that holds a
// character the XML language cannot carry (every UTF-8 source converts to XML). A UTF-8 byte
// order mark at the start is skipped. A source in Windows-1252 (one that is not UTF-8) counts a
// byte as a column, and refuses control characters and the bytes the code page leaves undefined.

#include <string_view>
#include <vector>

#include "common/Diagnostic.h"
#include "hsc/SourceForm.h"

namespace xsc::hsc {

struct Token {
    enum class Kind { Open, Close, Atom, String, End };
    Kind kind = Kind::End;
    std::string_view text;  // an atom's or string's characters (a string's without its quotes)
    SourcePosition at;
};

class Lexer {
public:
    enum class Encoding { Utf8, Windows1252 };
    // `file`: the index of the source among the program's files, carried by every position.
    Lexer(std::string_view source, std::vector<Diagnostic>& errors, std::int32_t file = 0, Encoding encoding = Encoding::Utf8);
    Token Next();

private:
    char Peek(std::size_t ahead = 0) const;
    void Advance();  // one byte, keeping the line and column
    void SkipBlanksAndComments();
    void SkipBlockComment();
    Token String();
    Token Atom();
    void CheckText(const Token& token);
    void Error(SourcePosition at, std::string message);

    std::string_view source_;
    std::vector<Diagnostic>& errors_;
    Encoding encoding_;
    std::size_t at_ = 0;
    SourcePosition position_{1, 1, 0};
};

// Whether the character may stand in an atom.
bool IsAtomCharacter(char c);

}  // namespace xsc::hsc

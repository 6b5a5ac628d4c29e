#include "hsc/Lexer.h"

#include "runtime/Windows1252.h"
#include "runtime/XmlWriter.h"

namespace xsc::hsc {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

bool IsAtomCharacter(char c) { return !IsBlank(c) && c != '(' && c != ')' && c != '"' && c != ';'; }

Lexer::Lexer(std::string_view source, std::vector<Diagnostic>& errors, std::int32_t file, Encoding encoding)
    : source_(source), errors_(errors), encoding_(encoding) {
    position_.file = file;
    if (encoding_ == Encoding::Utf8 && source_.substr(0, kByteOrderMark.size()) == kByteOrderMark) at_ = kByteOrderMark.size();
}

char Lexer::Peek(std::size_t ahead) const { return at_ + ahead < source_.size() ? source_[at_ + ahead] : '\0'; }

void Lexer::Advance() {
    if (source_[at_] == '\n') {
        ++position_.line;
        position_.column = 1;
    } else if (encoding_ == Encoding::Windows1252 || !IsContinuationByte(source_[at_])) {
        ++position_.column;
    }
    ++at_;
}

void Lexer::Error(SourcePosition at, std::string message) {
    errors_.push_back({Diagnostic::Severity::Error, at.line, at.column, std::move(message)});
}

void Lexer::SkipBlockComment() {
    const SourcePosition start = position_;
    Advance();  // ';'
    Advance();  // '*'
    while (at_ < source_.size() && !(Peek() == '*' && Peek(1) == ';')) Advance();
    if (at_ == source_.size()) {
        Error(start, "this block comment (;*) is never closed with *;");
        return;
    }
    Advance();
    Advance();
}

void Lexer::SkipBlanksAndComments() {
    while (at_ < source_.size()) {
        if (IsBlank(Peek())) {
            Advance();
        } else if (Peek() == ';' && Peek(1) == '*') {
            SkipBlockComment();
        } else if (Peek() == ';') {
            while (at_ < source_.size() && Peek() != '\n') Advance();
        } else {
            return;
        }
    }
}

void Lexer::CheckText(const Token& token) {
    const auto problem =
        encoding_ == Encoding::Utf8 ? XmlWriter::TextProblem(token.text) : Windows1252TextProblem(token.text);
    if (problem) {
        Error(token.at, std::string(token.kind == Token::Kind::String ? "this string " : "this name ") + *problem);
    }
}

Token Lexer::String() {
    Token token{Token::Kind::String, {}, position_};
    Advance();  // the opening quote
    const std::size_t start = at_;
    while (at_ < source_.size() && Peek() != '"') Advance();
    token.text = source_.substr(start, at_ - start);
    if (at_ == source_.size()) {
        Error(token.at, "this string is never closed with a double quote (strings have no escapes)");
        return {Token::Kind::End, {}, position_};
    }
    Advance();  // the closing quote
    CheckText(token);
    return token;
}

Token Lexer::Atom() {
    Token token{Token::Kind::Atom, {}, position_};
    const std::size_t start = at_;
    while (at_ < source_.size() && IsAtomCharacter(Peek())) Advance();
    token.text = source_.substr(start, at_ - start);
    CheckText(token);
    return token;
}

Token Lexer::Next() {
    SkipBlanksAndComments();
    if (at_ == source_.size()) return {Token::Kind::End, {}, position_};
    const SourcePosition here = position_;
    switch (Peek()) {
        case '(': Advance(); return {Token::Kind::Open, {}, here};
        case ')': Advance(); return {Token::Kind::Close, {}, here};
        case '"': return String();
        default: return Atom();
    }
}

}  // namespace xsc::hsc

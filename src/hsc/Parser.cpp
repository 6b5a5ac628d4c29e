#include "hsc/Parser.h"

#include "hsc/Lexer.h"
#include "runtime/Windows1252.h"

namespace xsc::hsc {
namespace {

void Error(std::vector<Diagnostic>& errors, SourcePosition at, std::string message) {
    errors.push_back({Diagnostic::Severity::Error, at.line, at.column, std::move(message)});
}

}  // namespace

ParsedSource ParseSource(std::string_view source, std::int32_t file) {
    ParsedSource parsed;
    parsed.windows1252 = !IsUtf8(source);
    Lexer lexer(source, parsed.errors, file, parsed.windows1252 ? Lexer::Encoding::Windows1252 : Lexer::Encoding::Utf8);
    std::vector<Form> open;  // lists whose ")" is still to come, innermost last
    const auto place = [&](Form form) {
        (open.empty() ? parsed.forms : open.back().items).push_back(std::move(form));
    };
    for (Token token = lexer.Next(); token.kind != Token::Kind::End; token = lexer.Next()) {
        switch (token.kind) {
            case Token::Kind::Open:
                if (open.size() == kMaxNesting) {
                    Error(parsed.errors, token.at,
                          "lists nested more than " + std::to_string(kMaxNesting) + " deep; the source is not read further");
                    return parsed;
                }
                open.push_back(Form{Form::Kind::List, {}, {}, token.at});
                break;
            case Token::Kind::Close:
                if (open.empty()) {
                    Error(parsed.errors, token.at, "this ) closes no list");
                    break;
                }
                {
                    Form list = std::move(open.back());
                    open.pop_back();
                    place(std::move(list));
                }
                break;
            case Token::Kind::Atom: place(Form{Form::Kind::Atom, std::string(token.text), {}, token.at}); break;
            case Token::Kind::String: place(Form{Form::Kind::String, std::string(token.text), {}, token.at}); break;
            case Token::Kind::End: break;
        }
    }
    if (!open.empty()) {
        const std::size_t missing = open.size();
        Error(parsed.errors, open.front().at,
              "this ( is never closed: the source ends with " + std::to_string(missing) +
                  (missing == 1 ? " list" : " lists") + " open");
    }
    return parsed;
}

}  // namespace xsc::hsc

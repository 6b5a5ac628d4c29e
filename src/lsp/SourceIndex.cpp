#include "lsp/SourceIndex.h"

#include <algorithm>

#include "engine/EngineTables.h"
#include "hsc/Lexer.h"
#include "hsc/Parser.h"

namespace xsc::lsp {
namespace {

using hsc::Form;

SyntaxToken::Kind KindOf(hsc::Token::Kind kind) {
    switch (kind) {
        case hsc::Token::Kind::Open: return SyntaxToken::Kind::Open;
        case hsc::Token::Kind::Close: return SyntaxToken::Kind::Close;
        case hsc::Token::Kind::String: return SyntaxToken::Kind::String;
        default: return SyntaxToken::Kind::Atom;
    }
}

bool IsWord(const SyntaxToken& token) { return token.kind == SyntaxToken::Kind::Atom || token.kind == SyntaxToken::Kind::String; }

}  // namespace

SourceIndex::SourceIndex(const TextDocument& document) {
    ReadTokens(document);
    ReadDeclarations(document);
}

void SourceIndex::ReadTokens(const TextDocument& document) {
    const std::string& text = document.Text();
    std::vector<Diagnostic> errors;
    hsc::Lexer lexer(text, errors);
    std::size_t previousEnd = 0;
    for (hsc::Token token = lexer.Next(); token.kind != hsc::Token::Kind::End; token = lexer.Next()) {
        SyntaxToken t{KindOf(token.kind), 0, 0, std::string(token.text)};
        switch (token.kind) {
            case hsc::Token::Kind::Atom:
                t.begin = static_cast<std::size_t>(token.text.data() - text.data());
                t.end = t.begin + token.text.size();
                break;
            case hsc::Token::Kind::String:
                t.begin = static_cast<std::size_t>(token.text.data() - text.data()) - 1;
                t.end = t.begin + token.text.size() + 2;
                break;
            default:
                t.begin = document.OffsetOf(token.at);
                t.end = t.begin + 1;
                break;
        }
        // Between two tokens stand only blanks and comments.
        if (std::string_view(text).substr(previousEnd, t.begin - previousEnd).find(';') != std::string_view::npos) hasComments_ = true;
        previousEnd = t.end;
        tokens_.push_back(std::move(t));
    }
    if (text.find(';', previousEnd) != std::string::npos) hasComments_ = true;
}

void SourceIndex::ReadDeclarations(const TextDocument& document) {
    const hsc::ParsedSource parsed = hsc::ParseSource(document.Text());
    syntaxErrors_ = !parsed.errors.empty();
    // The end of each list, by where it begins: the ")" that closes it.
    std::vector<std::pair<std::size_t, std::size_t>> lists;
    std::vector<std::size_t> open;
    for (const SyntaxToken& t : tokens_) {
        if (t.kind == SyntaxToken::Kind::Open) open.push_back(t.begin);
        if (t.kind == SyntaxToken::Kind::Close && !open.empty()) {
            lists.emplace_back(open.back(), t.end);
            open.pop_back();
        }
    }
    std::sort(lists.begin(), lists.end());
    const auto listEnd = [&](std::size_t begin) {
        const auto found = std::lower_bound(lists.begin(), lists.end(), std::make_pair(begin, std::size_t{0}));
        return found != lists.end() && found->first == begin ? found->second : document.Text().size();
    };
    const auto declare = [&](const Form& form, Declaration::Kind kind, std::string type, std::string returnType, const Form& name) {
        if (name.IsList()) return;
        Declaration d{kind, name.text, std::move(type), std::move(returnType), document.OffsetOf(form.at), 0, document.OffsetOf(name.at), 0};
        d.end = listEnd(d.begin);
        d.nameEnd = d.nameBegin + name.text.size() + (name.IsString() ? 2 : 0);
        declarations_.push_back(std::move(d));
    };
    // A value type's name, as a word or in double quotes, as the check reads it.
    const auto typeWord = [](const Form& form) {
        return !form.IsList() && engine::EngineTables::BuiltIn().ValueTypeCode(form.text).has_value();
    };
    for (const Form& form : parsed.forms) {
        const std::vector<Form>& items = form.items;
        if (form.Starts("global") && items.size() > 2 && !items[1].IsList()) {
            declare(form, Declaration::Kind::Global, items[1].text, {}, items[2]);
        } else if (form.Starts("script") && items.size() > 2 && !items[1].IsList()) {
            // (script <type> [<return type>] <name> ...): a return type is a type word followed
            // by a word.
            const bool returnType = items.size() > 3 && typeWord(items[2]) && !items[3].IsList();
            declare(form, Declaration::Kind::Script, items[1].text, returnType ? items[2].text : "", items[returnType ? 3 : 2]);
        }
    }
}

const SyntaxToken* SourceIndex::WordAt(std::size_t offset) const {
    const auto after = std::upper_bound(tokens_.begin(), tokens_.end(), offset,
                                        [](std::size_t at, const SyntaxToken& t) { return at < t.begin; });
    if (after == tokens_.begin()) return nullptr;
    const SyntaxToken& token = *std::prev(after);
    return IsWord(token) && offset <= token.end ? &token : nullptr;
}

CursorContext SourceIndex::ContextAt(std::size_t offset) const {
    struct List {
        std::string head;
        bool hasHead = false;
        std::vector<std::string> arguments;  // behind the head
    };
    std::vector<List> open;
    const SyntaxToken* current = nullptr;
    // One more item in the innermost list: its head first.
    const auto add = [&](const std::string& head) {
        if (open.empty()) return;
        List& list = open.back();
        if (!list.hasHead) {
            list.head = head;
            list.hasHead = true;
        } else {
            list.arguments.push_back(head);
        }
    };
    for (const SyntaxToken& t : tokens_) {
        if (t.begin >= offset) break;
        if (IsWord(t) && offset <= t.end) {
            current = &t;
            break;
        }
        switch (t.kind) {
            case SyntaxToken::Kind::Open:
                add({});
                open.emplace_back();
                break;
            case SyntaxToken::Kind::Close:
                if (!open.empty()) open.pop_back();
                break;
            case SyntaxToken::Kind::Atom: add(t.text); break;
            case SyntaxToken::Kind::String: add(open.empty() || !open.back().hasHead ? std::string() : t.text); break;
        }
    }
    CursorContext context;
    context.depth = static_cast<int>(open.size());
    context.prefixBegin = offset;
    context.inString = current != nullptr && current->kind == SyntaxToken::Kind::String && offset < current->end;
    if (current != nullptr && current->kind == SyntaxToken::Kind::Atom) {
        context.prefix = current->text.substr(0, offset - current->begin);
        context.prefixBegin = current->begin;
    }
    if (open.empty()) return context;
    context.head = open.back().head;
    context.inHead = !open.back().hasHead;
    context.argument = open.back().arguments.size();
    context.arguments = std::move(open.back().arguments);
    return context;
}

std::size_t SourceIndex::MarkEnd(std::size_t begin) const {
    const auto found = std::lower_bound(tokens_.begin(), tokens_.end(), begin,
                                        [](const SyntaxToken& t, std::size_t at) { return t.begin < at; });
    if (found == tokens_.end() || found->begin != begin) return begin + 1;
    if (found->kind == SyntaxToken::Kind::Open && std::next(found) != tokens_.end() && std::next(found)->kind == SyntaxToken::Kind::Atom) {
        return std::next(found)->end;
    }
    return found->end;
}

}  // namespace xsc::lsp

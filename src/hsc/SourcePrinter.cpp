#include "hsc/SourcePrinter.h"

namespace xsc::hsc {
namespace {

constexpr std::size_t kLineWidth = 100;
constexpr std::size_t kIndent = 2;

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::size_t Characters(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) count += IsContinuationByte(c) ? 0 : 1;
    return count;
}

class Printer {
public:
    void Comment(const std::string& line) {
        Append("; " + line);
        Append("\n");
    }

    // A blank line separates what stands at the top level.
    void TopLevel(Form& form) {
        if (!out_.empty()) Append("\n");
        // The header's words stay on the first line; everything from the first list on is broken.
        std::size_t header = 0;
        while (header < form.items.size() && !form.items[header].IsList()) ++header;
        // A global stays on one line when it fits, as (global short wave 0) does.
        const bool shortGlobal = form.Starts("global") && FlatWidth(form, kLineWidth) <= kLineWidth;
        if (!form.IsList() || header == form.items.size() || shortGlobal) {
            Flat(form);
        } else {
            Broken(form, 0, header);
        }
        Append("\n");
    }

    std::string Take() { return std::move(out_); }

private:
    void Append(std::string_view text) {
        for (const char c : text) {
            if (c == '\n') {
                ++at_.line;
                at_.column = 1;
            } else if (!IsContinuationByte(c)) {
                ++at_.column;
            }
        }
        out_ += text;
    }

    void NewLine(std::size_t indent) {
        Append("\n");
        Append(std::string(indent, ' '));
    }

    // The form's width on one line, or more than `limit` (counting stops there).
    static std::size_t FlatWidth(const Form& form, std::size_t limit) {
        switch (form.kind) {
            case Form::Kind::Atom: return Characters(form.text);
            case Form::Kind::String: return Characters(form.text) + 2;
            case Form::Kind::List: break;
        }
        std::size_t width = 1 + form.items.size();  // the parentheses and the spaces between items
        for (const Form& item : form.items) {
            if (width > limit) break;
            width += FlatWidth(item, limit - width);
        }
        return width;
    }

    void Flat(Form& form) {
        form.at = at_;
        switch (form.kind) {
            case Form::Kind::Atom: Append(form.text); return;
            case Form::Kind::String:
                Append("\"");
                Append(form.text);
                Append("\"");
                return;
            case Form::Kind::List: break;
        }
        Append("(");
        for (std::size_t i = 0; i < form.items.size(); ++i) {
            if (i > 0) Append(" ");
            Flat(form.items[i]);
        }
        Append(")");
    }

    void Broken(Form& form, std::size_t indent, std::size_t kept) {
        form.at = at_;
        Append("(");
        for (std::size_t i = 0; i < kept; ++i) {
            if (i > 0) Append(" ");
            Flat(form.items[i]);
        }
        for (std::size_t i = kept; i < form.items.size(); ++i) {
            NewLine(indent + kIndent);
            Print(form.items[i], indent + kIndent);
        }
        NewLine(indent);
        Append(")");
    }

    void Print(Form& form, std::size_t indent) {
        const auto used = static_cast<std::size_t>(at_.column - 1);
        const std::size_t room = kLineWidth > used ? kLineWidth - used : 0;
        if (!form.IsList() || form.items.size() < 2 || FlatWidth(form, room) <= room) {
            Flat(form);
        } else {
            Broken(form, indent, 1);
        }
    }

    std::string out_;
    SourcePosition at_{1, 1};
};

}  // namespace

std::string PrintSource(std::vector<Form>& forms, const std::vector<std::string>& heading) {
    Printer printer;
    for (const std::string& line : heading) printer.Comment(line);
    for (Form& form : forms) printer.TopLevel(form);
    return printer.Take();
}

}  // namespace xsc::hsc

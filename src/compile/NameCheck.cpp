#include "compile/NameCheck.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "engine/NameTables.h"
#include "names/NameResolution.h"
#include "runtime/Val.h"
#include "runtime/XmlDocument.h"
#include "xml/ScriptLanguage.h"

namespace xsc {
namespace {

using Severity = Diagnostic::Severity;
using engine::Storage;

// Every "ScriptValue" element inside a script, in document order. The root's children are the
// scripts, whatever their names: a script element named "ScriptValue" is compiled as a script, and
// its attributes name nothing.
std::vector<const XmlNode*> ValueElements(const XmlDocument& document) {
    std::vector<const XmlNode*> values;
    const XmlNode* root = document.DocumentElement();
    if (root == nullptr) return values;
    std::vector<const XmlNode*> pending;
    for (auto script = root->Children.rbegin(); script != root->Children.rend(); ++script) {
        pending.insert(pending.end(), (*script)->Children.rbegin(), (*script)->Children.rend());
    }
    while (!pending.empty()) {
        const XmlNode* node = pending.back();
        pending.pop_back();
        if (!node->IsElement()) continue;
        if (language::ClassifyExpression(node->Name) == language::ExpressionKind::Value) values.push_back(node);
        pending.insert(pending.end(), node->Children.rbegin(), node->Children.rend());
    }
    return values;
}

class NameCheck {
public:
    NameCheck(const NameResolver* names, const std::vector<std::string>& files, const std::string& noNamesWhy)
        : names_(names), files_(files), noNamesWhy_(noNamesWhy), tables_(engine::NameTables::BuiltIn()) {}

    std::vector<Diagnostic> Run(const XmlDocument& document) {
        for (const XmlNode* value : ValueElements(document)) {
            const std::int32_t type = NumberAttribute(value->GetAttribute(language::kValueType));
            const engine::ValueEncoding* encoding = tables_.Encoding(type);
            if (encoding == nullptr) continue;
            if (encoding->storage == Storage::Unresolved) {
                NoteOnce(*value, type,
                         SpokenName(encoding->name) + " values keep their text with 0 in the value field: no tool examined resolves "
                                                 "this type, so what the game reads there is not known; the first is here");
            }
            if (!NamesSomethingOfTheMap(type, tables_)) continue;
            if (names_ == nullptr) {
                ++unchecked_;
                if (!firstUnchecked_) firstUnchecked_ = value;
                continue;
            }
            Check(*value, *encoding);
        }
        if (unchecked_ > 0) {
            Add(Severity::Note, *firstUnchecked_,
                std::to_string(unchecked_) + (unchecked_ == 1 ? " name" : " names") +
                    " of the map's things not looked up: " +
                    (noNamesWhy_.empty() ? std::string("no map is given (check with --map MAP, or compile, to look them up)")
                                         : noNamesWhy_) +
                    "; the first is here");
        }
        return std::move(out_);
    }

private:
    void Check(const XmlNode& value, const engine::ValueEncoding& encoding) {
        const std::string text = value.GetAttribute(language::kValue);
        const ResolvedName resolved = names_->Resolve(encoding.code, text);
        if (!resolved.value) {
            Add(Severity::Error, value, resolved.error);
            return;
        }
        for (const std::string& warning : resolved.warnings) {
            if (warned_.insert(warning).second) Add(Severity::Warning, value, warning);
        }
        if (encoding.evidence == "one_toolkit") {
            NoteOnce(value, encoding.code,
                     SpokenName(encoding.name) + " values are looked up by a rule that rests on one source (one_toolkit): a single "
                                            "public tool stores them so, none seen in a map the game shipped; the first is here");
        }
    }

    void NoteOnce(const XmlNode& at, std::int32_t type, std::string message) {
        if (noted_.insert(type).second) Add(Severity::Note, at, std::move(message));
    }

    // A finding at a value, in the file of the program the value was written in.
    void Add(Severity severity, const XmlNode& at, std::string message) {
        const auto file = static_cast<std::size_t>(at.File);
        out_.push_back({severity, at.Line, at.Column, std::move(message), file < files_.size() ? files_[file] : std::string()});
    }

    const NameResolver* names_;
    const std::vector<std::string>& files_;
    const std::string& noNamesWhy_;
    const engine::NameTables& tables_;
    std::vector<Diagnostic> out_;
    std::set<std::string> warned_;
    std::set<std::int32_t> noted_;
    std::size_t unchecked_ = 0;
    const XmlNode* firstUnchecked_ = nullptr;
};

}  // namespace

std::vector<Diagnostic> CheckNames(const XmlDocument& document, const NameResolver* names, const std::vector<std::string>& files,
                                   const std::string& noNamesWhy) {
    return NameCheck(names, files, noNamesWhy).Run(document);
}

}  // namespace xsc

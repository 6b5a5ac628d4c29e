#include "xml/ScriptIndex.h"

#include "xml/ScriptLanguage.h"
#include "runtime/XmlDocument.h"

namespace xsc {

ScriptIndex::ScriptIndex(const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) byName_.emplace(names[i], static_cast<std::int32_t>(i));
}

ScriptIndex ScriptIndex::OfDocument(const XmlNode& root) {
    std::vector<std::string> names;
    for (const XmlNode* child : root.Children) {
        if (child->IsElement() && !language::IsGlobalDefinition(*child)) names.push_back(child->GetAttribute(language::kNameAttr));
    }
    return ScriptIndex(names);
}

ScriptIndex ScriptIndex::GlobalsOfDocument(const XmlNode& root) {
    std::vector<std::string> names;
    for (const XmlNode* child : root.Children) {
        if (language::IsGlobalDefinition(*child)) names.push_back(child->GetAttribute(language::kGlobalName));
    }
    return ScriptIndex(names);
}

std::optional<std::int32_t> ScriptIndex::Find(std::string_view name) const {
    const auto found = byName_.find(name);
    if (found == byName_.end()) return std::nullopt;
    return found->second;
}

}  // namespace xsc

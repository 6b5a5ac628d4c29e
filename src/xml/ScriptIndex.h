#pragma once
// The scripts (or the scenario globals) of the document being compiled, by name. A script name in a "ScriptCall", and the
// Value of a "ScriptValue" of type 10 (script), stand for the index of the script's record: the
// first script of that name, counted from 0 in document order.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace xsc {

struct XmlNode;

class ScriptIndex {
public:
    ScriptIndex() = default;
    // The scripts' names in record order.
    explicit ScriptIndex(const std::vector<std::string>& names);
    // The script elements of a document element: its element children but global definitions,
    // in order (text among them is refused by the build, and takes no record).
    static ScriptIndex OfDocument(const XmlNode& root);
    // Its global definitions, in order: a global's index in the scenario's globals block.
    static ScriptIndex GlobalsOfDocument(const XmlNode& root);

    std::optional<std::int32_t> Find(std::string_view name) const;

private:
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    std::unordered_map<std::string, std::int32_t, NameHash, std::equal_to<>> byName_;
};

}  // namespace xsc

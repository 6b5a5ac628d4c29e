#pragma once
// Suggestions for a name that is not known ("did you mean "print"?") and the wording of lists in
// messages, shared by the checks of both script languages.

#include <string>
#include <string_view>
#include <vector>

namespace xsc {

// The closest candidates (at most three, closest first), at most a third of the name's length
// away (2 for short names) in edits that ignore letter case: insert, delete, replace, swap two
// neighbours. None for an empty name or one of more than 64 bytes.
std::vector<std::string> ClosestNames(std::string_view name, const std::vector<const std::string*>& candidates);

// "a", "a or b", "a, b or c" (with `last` between the last two).
std::string Alternatives(const std::vector<std::string>& words, std::string_view last = " or ");

// Each name in quotes, as Quoted() gives it.
std::vector<std::string> QuotedAll(const std::vector<std::string>& names);

}  // namespace xsc

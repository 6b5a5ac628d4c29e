#pragma once
// Text comparison as keywords are compared in maps and scripts (the header code "daeh", element
// names, "true" and "false"): letter case is ignored, for ASCII letters only, byte by byte.

#include <string>
#include <string_view>

namespace xsc {

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The text with its ASCII letters in lower case: a key under which names alike compare equal.
inline std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

// True when `head`, a file's first bytes, begins as a script of either language does: "<" (XML),
// "(" or ";" (source) after white space and a byte order mark. For messages that tell a script
// given as a map.
inline bool LooksLikeScript(std::string_view head) {
    const std::size_t text = head.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    return text != std::string_view::npos && (head[text] == '<' || head[text] == '(' || head[text] == ';');
}

}  // namespace xsc

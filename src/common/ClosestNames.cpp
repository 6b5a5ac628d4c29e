#include "common/ClosestNames.h"

#include <algorithm>
#include <utility>

#include "common/Diagnostic.h"

namespace xsc {
namespace {

// Names longer than this get no suggestions (nobody mistypes a 64-letter name by a letter or two,
// and the distance costs their length times each candidate's).
constexpr std::size_t kSuggestedNameLength = 64;
constexpr std::size_t kSuggestions = 3;

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

// Edits (insert, delete, replace, swap two neighbours) that turn a into b. Row i of the table
// needs rows i - 1 and i - 2 only, so three rows are kept (a check may ask this for every word of
// a long script).
std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> before(b.size() + 1), previous(b.size() + 1), row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            row[j] = std::min({previous[j] + 1, row[j - 1] + 1, previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) row[j] = std::min(row[j], before[j - 2] + 1);
        }
        std::swap(before, previous);
        std::swap(previous, row);
    }
    return previous[b.size()];
}

}  // namespace

std::vector<std::string> ClosestNames(std::string_view name, const std::vector<const std::string*>& candidates) {
    if (name.empty() || name.size() > kSuggestedNameLength) return {};
    const std::string lower = Lower(name);
    const std::size_t limit = std::max<std::size_t>(2, name.size() / 3);
    std::vector<std::pair<std::size_t, const std::string*>> close;
    for (const std::string* candidate : candidates) {
        const std::size_t gap = std::max(candidate->size(), lower.size()) - std::min(candidate->size(), lower.size());
        if (gap > limit) continue;
        const std::size_t distance = EditDistance(lower, Lower(*candidate));
        if (distance <= limit) close.emplace_back(distance, candidate);
    }
    std::stable_sort(close.begin(), close.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (std::size_t i = 0; i < close.size() && i < kSuggestions; ++i) names.push_back(*close[i].second);
    return names;
}

std::string Alternatives(const std::vector<std::string>& words, std::string_view last) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) text += i + 1 == words.size() ? std::string(last) : ", ";
        text += words[i];
    }
    return text;
}

std::vector<std::string> QuotedAll(const std::vector<std::string>& names) {
    std::vector<std::string> quoted;
    for (const std::string& name : names) quoted.push_back(Quoted(name));
    return quoted;
}

}  // namespace xsc

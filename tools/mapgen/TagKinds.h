#pragma once
// The kinds of tag a synthetic map holds: class codes and name patterns as retail maps have them.
// Tag 0 is always the scenario; the others are drawn from a small mix of common kinds.

#include <cstdint>
#include <string>
#include <string_view>

namespace xsc::mapgen {

struct TagKind {
    std::string_view class1;  // in reading order; stored reversed
    std::string_view class2;  // FF FF FF FF for none
    std::string_view class3;
    std::string_view namePattern;  // every '#' becomes the tag's index
};

const TagKind& ScenarioKind();
// Kinds for tags 1..n-1: `choice` is reduced modulo the number of kinds.
const TagKind& OtherKind(std::uint64_t choice);
// The same for structured maps (MapOptions::structured): classes whose layouts the generator writes.
const TagKind& StructuredKind(std::uint64_t choice);
std::string TagName(const TagKind& kind, std::int32_t tagIndex);

}  // namespace xsc::mapgen

#pragma once
// The node slots a walk of the node data has reached. Every node pointer the walk follows (a
// record's root or initial value, a sibling, a call's name node) holds a salt in its high half and
// a slot in its low half: the slot must be in use, hold that salt, and not have been reached
// before (a second time is a cycle, or a node two expressions share). The checks throw Error
// naming the script, the slot the pointer was read from and the field.

#include <cstdint>
#include <string>
#include <vector>

namespace xsc {

struct CompiledScriptData;
struct ScriptPlace;

class NodeReach {
public:
    // How the messages name a pointer's high half: xsc's layout calls it the node's identity; the
    // official tools' layout, which leaves free slots (salt 0) among the used ones, its salt.
    enum class Layout { Ours, Official };

    // Where a pointer is read from when it is not a node: the script or global record.
    static constexpr std::int64_t kFromRecord = -1;

    NodeReach(const CompiledScriptData& data, Layout layout);

    // The slot `pointer` names, now reached. `from`: the slot the pointer was read from, or
    // kFromRecord; `what` names the field ("root", "sibling").
    std::int32_t Reach(std::uint32_t pointer, const ScriptPlace& place, std::int64_t from, const std::string& what);
    // Takes back the reach of a slot a walk read ahead of its turn.
    void Unreach(std::int32_t slot) { reached_[static_cast<std::size_t>(slot)] = false; }

private:
    const CompiledScriptData& data_;
    Layout layout_;
    std::vector<bool> reached_;
};

}  // namespace xsc

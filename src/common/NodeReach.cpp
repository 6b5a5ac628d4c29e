#include "common/NodeReach.h"

#include "common/ScriptTreeWalk.h"
#include "runtime/Error.h"
#include "scriptdata/ReadScriptData.h"

namespace xsc {
namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFF;  // the pointer to no node

std::string SlotsInUse(std::int32_t count) {
    if (count == 0) return "no slot is in use";
    if (count == 1) return "only slot 0 is in use";
    return "only slots 0 to " + std::to_string(count - 1) + " are in use";
}

}  // namespace

NodeReach::NodeReach(const CompiledScriptData& data, Layout layout)
    : data_(data), layout_(layout), reached_(static_cast<std::size_t>(data.slotCount), false) {}

std::int32_t NodeReach::Reach(std::uint32_t pointer, const ScriptPlace& place, std::int64_t from, const std::string& what) {
    const auto error = [&](const std::string& message) {
        return from == kFromRecord ? place.Here("its " + what + " " + message) : place.At(from, "its " + what + " " + message);
    };
    if (pointer == kNone) throw error("names no node");
    const std::int32_t slot = static_cast<std::int32_t>(pointer & 0xFFFF);
    const auto salt = static_cast<std::uint16_t>(pointer >> 16);
    if (slot >= data_.slotCount) throw error("names slot " + std::to_string(slot) + ", but " + SlotsInUse(data_.slotCount));
    const std::uint16_t stored = data_.Node(slot).identity;
    const std::string word = layout_ == Layout::Ours ? "identity" : "salt";
    if (layout_ == Layout::Official && stored == 0) throw error("names slot " + std::to_string(slot) + ", which is free (salt 0)");
    if (stored != salt) {
        throw error("names slot " + std::to_string(slot) + " with " + word + " " + Hex(salt) + ", but that slot holds " + word + " " +
                    Hex(stored));
    }
    if (reached_[static_cast<std::size_t>(slot)]) {
        throw error("names slot " + std::to_string(slot) +
                    ", which the walk has already reached: a cycle, or a node that two expressions share");
    }
    reached_[static_cast<std::size_t>(slot)] = true;
    return slot;
}

}  // namespace xsc

#pragma once
// Walks a compiled script's node tree from its script record (and a scenario global's initial
// value from its global record), for the decompile: the root (the
// call of "begin"), its name node, whose sibling chain is the body, and below every call its
// name node and that node's sibling chain of arguments. The walk follows pointers, never the slot
// order, so it reads any arrangement of slots; it yields the expression nodes in the order a
// compile appends them (depth first, document order).
//
// Every pointer is checked before it is followed: it must name a slot in use, its identity half
// must equal that slot's identity, and no slot may be reached twice (a cycle, or a node shared by
// two expressions; the language gives every expression nodes of its own). So the walk ends
// after at most one step per slot. It keeps its own stack: nesting can be as deep as the slots.
//
// It also checks the shape a compile gives the nodes around the expressions: the root is a call
// of function 0 with text offset 0 whose value type is the record's return type and which has no
// sibling; every call's child (of a function call, kind 8, or a script call, kind 10) is a name
// node (kind 9, value type 2) that repeats the call's function number and text offset and holds 0
// in its last four bytes. Expression kinds other than 8, 9, 10 and 13 (global) are refused.

#include <cstdint>
#include <string>
#include <vector>

#include "common/NodeReach.h"
#include "runtime/Error.h"
#include "scriptdata/ReadScriptData.h"

namespace xsc {

// Names a script (or a global) and slot in the decompile's error messages:
// `script "main" (record 0), slot 12:`, `global "count" (record 2), slot 40:`.
struct ScriptPlace {
    std::size_t record = 0;
    std::string name;  // empty when the name cannot be shown on one line
    bool global = false;  // a record of the scenario's globals block

    Error At(std::int64_t slot, const std::string& what) const;
    Error Here(const std::string& what) const;  // about the record, not a slot

private:
    std::string Script() const;
};

struct WalkedNode {
    std::int32_t slot = 0;
    std::int32_t depth = 0;     // 0 for a statement of the script, d + 1 for an argument of a call at d
    bool hasArguments = false;  // a call (either kind) whose name node has a sibling
    StoredNode node;
};

struct WalkedScript {
    ScriptPlace place;
    StoredRecord record;
    std::vector<WalkedNode> body;
};

// A global's initial value: one expression (depth 0 for its root), read from the global record.
struct WalkedGlobal {
    ScriptPlace place;
    StoredGlobal record;
    std::vector<WalkedNode> body;
};

class ScriptTreeWalk {
public:
    explicit ScriptTreeWalk(const CompiledScriptData& data);
    // The script of record `index`. Slots reached by earlier walks count as reached.
    WalkedScript Walk(std::size_t index);
    // The initial value of global record `index`: the record names its expression's root, which
    // stands alone (no sibling). Slots reached by earlier walks count as reached.
    WalkedGlobal WalkGlobal(std::size_t index);

private:
    // The expressions of the chain starting at `first` (read from `from`) and everything below.
    std::vector<WalkedNode> WalkChain(const ScriptPlace& place, std::uint32_t first, std::int32_t from);
    // Follows a pointer found in `from` (-1: the script record). `what` names the field.
    std::int32_t Reach(std::uint32_t pointer, const ScriptPlace& place, std::int64_t from, const std::string& what) {
        return reach_.Reach(pointer, place, from, what);
    }
    void CheckRoot(const WalkedScript& script, std::int32_t rootSlot, const StoredNode& root) const;
    void CheckNameNode(const ScriptPlace& place, std::int32_t nameSlot, const StoredNode& call) const;

    const CompiledScriptData& data_;
    NodeReach reach_;
};

}  // namespace xsc

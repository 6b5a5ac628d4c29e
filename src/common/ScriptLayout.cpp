#include "common/ScriptLayout.h"

#include "scriptdata/ScriptDataFormat.h"

namespace xsc {

using namespace scriptformat;

namespace {

// The slot behind a root's begin name node holds xsc's trailing filler.
bool TrailingFillerBehind(const CompiledScriptData& data, std::uint32_t root) {
    const std::int64_t filler = static_cast<std::int64_t>(root & 0xFFFF) + kBeginNodes;
    if (filler >= data.slotCount) return false;
    const StoredNode node = data.Node(static_cast<std::int32_t>(filler));
    return node.identity == kFillerIdentity && node.engine == kTrailingFiller.engine && node.valueType == kTrailingFiller.valueType &&
           node.expType == kTrailingFiller.expType && node.stringOffset == kTrailingFillerStringOffset;
}

}  // namespace

ScriptLayout LayoutOf(const CompiledScriptData& data) {
    if (data.ScriptCount() > 0) return TrailingFillerBehind(data, data.Record(0).root) ? ScriptLayout::Xsc : ScriptLayout::Other;
    return ScriptLayout::Other;  // decided by the caller's strict attempt (DecodeScriptData)
}

}  // namespace xsc

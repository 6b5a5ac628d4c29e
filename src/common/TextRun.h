#pragma once
// The texts of a map's string data, taken node after node in the order a compile appends them:
// "begin" and a zero byte at offset 0, then one text per node that stores one, each behind the
// one before and followed by a zero byte, then 1024 zero bytes. A node that stores no text names
// the offset where the next text starts, so whether a node stored a text is told by the text
// offset of the node after it: the same offset (no text), or the one just behind the zero byte
// that ends the text at its own offset.

#include <cstdint>
#include <optional>
#include <string>

#include "common/ScriptTreeWalk.h"

namespace xsc {

class TextRun {
public:
    // Throws Error when the string data does not start with "begin" and a zero byte, followed
    // by the 1024 bytes behind the texts at least.
    explicit TextRun(const std::string& strings);

    // Where the texts end: 1024 bytes before the end of the string data.
    std::int64_t End() const { return end_; }

    // The text of the node at `slot`, whose text offset is `offset`: none when `next`, the text
    // offset of the node after it (at `nextSlot`; -1 behind the last node, where `next` is
    // End()), is `offset`; else the text that ends right before `next`. Throws Error naming the
    // slot when `offset` is not where the texts before it end, or `next` is neither.
    std::optional<std::string> Take(const ScriptPlace& place, std::int32_t slot, std::int32_t offset, std::int64_t next,
                                    std::int32_t nextSlot);

    // Throws Error when texts remain that no node took.
    void CheckAllTaken() const;

private:
    const std::string& strings_;
    std::int64_t end_;
    std::int64_t running_;
};

}  // namespace xsc

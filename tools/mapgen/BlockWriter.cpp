#include "mapgen/BlockWriter.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace xsc::mapgen {

BlockWriter::BlockWriter(Sink sink, std::size_t blockSize) : sink_(std::move(sink)), block_(blockSize) {}

void BlockWriter::PutBytes(std::string_view bytes) {
    while (!bytes.empty()) {
        Room(1);
        const std::size_t n = std::min(bytes.size(), block_.size() - used_);
        std::memcpy(&block_[used_], bytes.data(), n);
        used_ += n;
        bytes.remove_prefix(n);
    }
}

void BlockWriter::PutFill(std::uint8_t value, std::int64_t count) {
    PutGenerated(count, [value](std::uint8_t* out, std::size_t n) { std::memset(out, value, n); });
}

void BlockWriter::PutGenerated(std::int64_t count,
                               const std::function<void(std::uint8_t*, std::size_t)>& fill) {
    while (count > 0) {
        Room(1);
        const auto n = static_cast<std::size_t>(
            std::min<std::int64_t>(count, static_cast<std::int64_t>(block_.size() - used_)));
        fill(&block_[used_], n);
        used_ += n;
        count -= static_cast<std::int64_t>(n);
    }
}

void BlockWriter::Flush() {
    if (used_ == 0) return;
    sink_(block_.data(), used_);
    flushed_ += static_cast<std::int64_t>(used_);
    used_ = 0;
}

}  // namespace xsc::mapgen

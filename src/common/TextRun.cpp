#include "common/TextRun.h"

#include "runtime/Error.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {
namespace {

using namespace scriptformat;

constexpr std::int64_t kFirstTextOffset = static_cast<std::int64_t>(kBeginText.size()) + 1;

}  // namespace

TextRun::TextRun(const std::string& strings)
    : strings_(strings), end_(static_cast<std::int64_t>(strings.size()) - kStringDataZeroBytes), running_(kFirstTextOffset) {
    const std::string begin = std::string(kBeginText) + '\0';
    if (end_ < kFirstTextOffset || strings.compare(0, begin.size(), begin) != 0) {
        throw Error::InMap("the string data does not start with \"begin\" and a zero byte, as compiled strings do");
    }
}

std::optional<std::string> TextRun::Take(const ScriptPlace& place, std::int32_t slot, std::int32_t offset, std::int64_t next,
                                         std::int32_t nextSlot) {
    if (offset != running_) {
        throw place.At(slot, "texts out of order: its text offset is " + std::to_string(offset) + ", where a compile puts " +
                                 std::to_string(running_) + ", behind the texts before it");
    }
    if (next == running_) return std::nullopt;
    const std::size_t zero = strings_.find('\0', static_cast<std::size_t>(running_));
    const auto textEnd = static_cast<std::int64_t>(zero == std::string::npos ? strings_.size() : zero);
    if (textEnd < end_ && next == textEnd + 1) {
        std::string text = strings_.substr(static_cast<std::size_t>(running_), zero - static_cast<std::size_t>(running_));
        running_ = next;
        return text;
    }
    const std::string found = nextSlot < 0 ? "the texts end at " + std::to_string(next)
                                            : "the next node (slot " + std::to_string(nextSlot) + ") names string offset " +
                                                  std::to_string(next);
    const std::string behind = textEnd < end_ ? std::to_string(textEnd + 1) + " (behind its text at " + std::to_string(running_) + ")"
                                              : "behind its text at " + std::to_string(running_) +
                                                    ", which runs into the 1024 zero bytes that end the string data";
    throw place.At(slot, "texts out of order: " + found + ", where a compile puts " + std::to_string(running_) +
                             " (no text here) or " + behind);
}

void TextRun::CheckAllTaken() const {
    if (running_ != end_) {
        throw Error::InMap("the string data holds texts up to offset " + std::to_string(end_) +
                           ", but the scripts' nodes name texts only up to " + std::to_string(running_));
    }
}

}  // namespace xsc

#include "common/Diagnostic.h"

namespace xsc {

std::string Quoted(std::string_view name) { return '"' + std::string(name) + '"'; }

std::string QuotedExcerpt(std::string_view text) {
    constexpr std::size_t kQuotedBytes = 32;
    std::string quoted(1, '"');
    if (text.size() <= kQuotedBytes) {
        quoted += text;
    } else {
        std::size_t end = kQuotedBytes;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
        quoted += text.substr(0, end);
        quoted += "...";
    }
    return quoted + '"';
}

}  // namespace xsc

#include "mapgen/NumberText.h"

#include <charconv>
#include <string>

#include "runtime/Error.h"

namespace xsc::mapgen {
namespace {

constexpr std::int64_t kLargestByteCount = std::int64_t{1} << 62;

int ShiftOf(char suffix) {
    switch (suffix) {
        case 'k': case 'K': return 10;
        case 'm': case 'M': return 20;
        case 'g': case 'G': return 30;
        default: return -1;
    }
}

Error NotA(const char* what, std::string_view text) {
    std::string message = "\"";
    message.append(text).append("\" is not ").append(what);
    return Error(message);
}

}  // namespace

std::int64_t ParseByteCount(std::string_view text) {
    const char* what = "a byte count (digits, then K, M or G if wanted)";
    std::string_view digits = text;
    int shift = 0;
    if (!digits.empty() && ShiftOf(digits.back()) >= 0) {
        shift = ShiftOf(digits.back());
        digits.remove_suffix(1);
    }
    std::int64_t count = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
    if (digits.empty() || digits.front() == '-' || error != std::errc() || end != digits.data() + digits.size()) {
        throw NotA(what, text);
    }
    if (count > (kLargestByteCount >> shift)) throw NotA("a byte count this program can handle", text);
    return count << shift;
}

std::int32_t ParseInt32(std::string_view text) {
    const char* what = "a 32-bit number (decimal, or 0x and up to 8 hex digits)";
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint32_t pattern = 0;
        const auto [end, error] = std::from_chars(text.data() + 2, text.data() + text.size(), pattern, 16);
        if (error != std::errc() || end != text.data() + text.size()) throw NotA(what, text);
        return static_cast<std::int32_t>(pattern);
    }
    std::int32_t value = 0;
    if (text.starts_with("+-")) throw NotA(what, text);
    const char* begin = text.data() + (text.starts_with('+') ? 1 : 0);
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) throw NotA(what, text);
    return value;
}

}  // namespace xsc::mapgen

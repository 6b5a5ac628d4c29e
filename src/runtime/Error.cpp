#include "runtime/Error.h"

#include <cstdio>

namespace xsc {

Error::Error(const std::string& message, Subject subject)
    : std::runtime_error(message), subject_(subject) {}

Error Error::AtOffset(const std::string& what, std::int64_t offset) {
    // An offset computed from a damaged field can be negative; a file has no such place, and a
    // modder searching for "-0x598a4222" in a hex editor finds nothing.
    if (offset < 0) return Error(what + " (at a file offset before the start of the file)", Subject::Map);
    Error e(what + " (at file offset " + Hex(offset) + ")", Subject::Map);
    e.offset_ = offset;
    return e;
}

Error Error::AtScript(const std::string& what, std::int64_t line, std::int64_t column, std::int32_t file) {
    Error e(std::to_string(line) + ":" + std::to_string(column) + ": " + what, Subject::Script);
    e.line_ = line;
    e.column_ = column;
    e.file_ = file;
    return e;
}

Error Error::InMap(const std::string& what) { return Error(what, Subject::Map); }

std::string ByteCount(std::int64_t count) {
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

std::string Hex(std::int64_t value) {
    char buffer[24];
    if (value < 0) {
        std::snprintf(buffer, sizeof buffer, "-0x%llx", static_cast<unsigned long long>(-value));
    } else {
        std::snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(value));
    }
    return buffer;
}

}  // namespace xsc

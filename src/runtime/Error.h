#pragma once
// The one exception type for every failure a user can see. Each front end catches it once and
// prints what() prefixed by the file it is about (the map or the script).

#include <cstdint>
#include <stdexcept>
#include <string>

namespace xsc {

class Error : public std::runtime_error {
public:
    // Which input the message is about, so a front end can name that file in front of it.
    enum class Subject { General, Map, Script, Output };

    explicit Error(const std::string& message, Subject subject = Subject::General);

    // "what (at file offset 0x1234)": a fault in the map file. A negative offset (computed from a
    // damaged field) is said to lie before the start of the file, never printed.
    static Error AtOffset(const std::string& what, std::int64_t offset);
    // "12:5: what": a fault in the script, line and column counted from 1. `file`: which of the
    // program's source files, for a program of several (the front end names it).
    static Error AtScript(const std::string& what, std::int64_t line, std::int64_t column, std::int32_t file = 0);
    // A fault in the map that has no single offset ("the map has no tags").
    static Error InMap(const std::string& what);

    Subject subject() const { return subject_; }
    std::int64_t line() const { return line_; }      // 0 when not about a script position
    std::int64_t column() const { return column_; }  // 0 when not about a script position
    std::int64_t offset() const { return offset_; }  // -1 when not about a file offset
    std::int32_t file() const { return file_; }      // the source file of a script position

private:
    Subject subject_;
    std::int64_t line_ = 0;
    std::int64_t column_ = 0;
    std::int64_t offset_ = -1;
    std::int32_t file_ = 0;
};

// "0x1a2b" for messages.
std::string Hex(std::int64_t value);
// "1 byte", "2 bytes" for messages.
std::string ByteCount(std::int64_t count);

}  // namespace xsc

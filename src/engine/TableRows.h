#pragma once
// Reading the engine's tab-separated tables: '#' lines are comments, the first other line names
// the columns, every further line is one row with exactly that many cells. A fault is reported
// with the table's name and line, so a malformed table is never half read.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Error.h"

namespace xsc::engine {

// A row of a table with the line it came from, for messages.
struct Row {
    int line = 0;
    std::vector<std::string> cells;
};

// A fault in one row: caught by the table reader and reported with the table's name and line.
struct RowProblem {
    std::string what;
};

// Line 0: the fault is in the table as a whole.
Error TableError(std::string_view table, int line, const std::string& what);

// The rows of a table whose header names exactly `columns`.
std::vector<Row> ReadRows(std::string_view table, std::string_view text, const std::vector<std::string>& columns);

// A whole number of at least 0; throws RowProblem otherwise.
std::int32_t ParseNumber(std::string_view text);

// The words of a cell separated by single spaces ("37 42 43").
std::vector<std::string> SplitSpaces(std::string_view text);

// A table compiled into the program as the resource ":/xsc/engine/<name>".
std::string ReadResource(const char* name);

}  // namespace xsc::engine

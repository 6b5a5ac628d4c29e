#pragma once
// The data lines of a tab-separated table, as the program's data tables are written: blank lines
// and lines starting with '#' (comments, and a commented header) are skipped, a CR before the
// line end is dropped, and each line's cells are split at tabs.

#include <string_view>
#include <vector>

namespace xsc {

struct TableLine {
    int number = 0;  // counted from 1
    std::vector<std::string_view> cells;
};

// The cells view `text`, which must outlive them.
std::vector<TableLine> TableLines(std::string_view text);

}  // namespace xsc

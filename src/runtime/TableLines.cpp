#include "runtime/TableLines.h"

namespace xsc {

std::vector<TableLine> TableLines(std::string_view text) {
    std::vector<TableLine> lines;
    int number = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        TableLine data{number, {}};
        for (std::size_t from = 0;;) {
            const std::size_t tab = line.find('\t', from);
            data.cells.push_back(line.substr(from, tab == std::string_view::npos ? std::string_view::npos : tab - from));
            if (tab == std::string_view::npos) break;
            from = tab + 1;
        }
        lines.push_back(std::move(data));
    }
    return lines;
}

}  // namespace xsc

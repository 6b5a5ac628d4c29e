#include "engine/TableRows.h"

#include <QFile>

#include <algorithm>
#include <charconv>

#include "runtime/TableLines.h"

// The resource is compiled into the static core library; initialising it by name makes sure the
// linker keeps it, whichever program links the library.
static void InitEngineData() { Q_INIT_RESOURCE(xsc_engine_data); }

namespace xsc::engine {

Error TableError(std::string_view table, int line, const std::string& what) {
    return Error("engine table " + std::string(table) + (line > 0 ? ", line " + std::to_string(line) : "") + ": " +
                 what);
}

std::vector<Row> ReadRows(std::string_view table, std::string_view text, const std::vector<std::string>& columns) {
    std::vector<Row> rows;
    bool header = true;
    for (const TableLine& line : TableLines(text)) {
        std::vector<std::string> cells(line.cells.begin(), line.cells.end());
        if (header) {
            if (cells != columns) throw TableError(table, line.number, "the columns are not the expected ones");
            header = false;
            continue;
        }
        if (cells.size() != columns.size()) {
            throw TableError(table, line.number, std::to_string(cells.size()) + " cells, " +
                                                     std::to_string(columns.size()) + " expected");
        }
        rows.push_back({line.number, std::move(cells)});
    }
    if (header) throw TableError(table, 0, "no header line");
    return rows;
}

std::int32_t ParseNumber(std::string_view text) {
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) {
        throw RowProblem{"\"" + std::string(text) + "\" is not a number"};
    }
    return value;
}

std::vector<std::string> SplitSpaces(std::string_view text) {
    std::vector<std::string> words;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        if (end > start) words.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

std::string ReadResource(const char* name) {
    static const bool initialised = (InitEngineData(), true);
    (void)initialised;
    QFile file(QStringLiteral(":/xsc/engine/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error(std::string("internal error: the engine table ") + name + " is not built into this program");
    }
    return file.readAll().toStdString();
}

}  // namespace xsc::engine

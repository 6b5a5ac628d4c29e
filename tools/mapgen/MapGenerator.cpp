// The generator's entry points: one plan, one content writer, two sinks (memory and file).

#include "mapgen/MapGenerator.h"

#include <cerrno>
#include <cstring>
#include <algorithm>
#include <fstream>

#include "mapgen/MapContent.h"
#include "mapgen/MapPlan.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"

namespace xsc::mapgen {
namespace {

// The map file being written; it closes on every path out of WriteMap.
class OutputFile {
public:
    explicit OutputFile(const std::filesystem::path& path) : path_(path), file_(path, std::ios::binary | std::ios::trunc) {
        if (!file_) Fail("cannot create");
    }

    void Write(const std::uint8_t* bytes, std::size_t count) {
        if (!file_.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(count))) Fail("cannot write");
    }
    void Close() {
        file_.close();
        if (!file_) Fail("cannot write");
    }

private:
    [[noreturn]] void Fail(const char* what) const {
        throw Error(std::string(what) + " " + Utf8(path_) + ": " + std::strerror(errno), Error::Subject::Output);
    }

    std::filesystem::path path_;
    std::ofstream file_;
};

MapLayout WithFields(MapLayout layout, StructureFields fields) {
    std::sort(fields.addresses.begin(), fields.addresses.end());
    std::sort(fields.fileOffsets.begin(), fields.fileOffsets.end());
    layout.addressFields = std::move(fields.addresses);
    layout.fileOffsetFields = std::move(fields.fileOffsets);
    return layout;
}

}  // namespace

std::vector<std::uint8_t> GenerateMap(const MapOptions& options, MapLayout* layout) {
    const MapPlan plan = MakePlan(options);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(plan.layout.fileLength));
    BlockWriter out([&bytes](const std::uint8_t* block, std::size_t n) { bytes.insert(bytes.end(), block, block + n); });
    StructureFields fields;
    WriteMapContent(out, plan, options, &fields);
    if (layout != nullptr) *layout = WithFields(plan.layout, std::move(fields));
    return bytes;
}

MapLayout WriteMap(const std::filesystem::path& path, const MapOptions& options) {
    const MapPlan plan = MakePlan(options);
    OutputFile file(path);
    BlockWriter out([&file](const std::uint8_t* block, std::size_t n) { file.Write(block, n); });
    StructureFields fields;
    WriteMapContent(out, plan, options, &fields);
    file.Close();
    return WithFields(plan.layout, std::move(fields));
}

}  // namespace xsc::mapgen

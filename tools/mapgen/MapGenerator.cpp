// The generator's entry points: one plan, one content writer, two sinks (memory and file).

#include "mapgen/MapGenerator.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "mapgen/MapContent.h"
#include "mapgen/MapPlan.h"
#include "runtime/Error.h"

namespace xsc::mapgen {
namespace {

// Closes the descriptor on every path out of WriteMap.
class OutputFile {
public:
    explicit OutputFile(const std::filesystem::path& path) : path_(path) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd_ < 0) Fail("cannot create");
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() {
        if (fd_ >= 0) ::close(fd_);
    }

    void Write(const std::uint8_t* bytes, std::size_t count) {
        while (count > 0) {
            const ssize_t written = ::write(fd_, bytes, count);
            if (written < 0 && errno == EINTR) continue;
            if (written < 0) Fail("cannot write");
            bytes += written;
            count -= static_cast<std::size_t>(written);
        }
    }
    void Close() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) Fail("cannot write");
    }

private:
    [[noreturn]] void Fail(const char* what) const {
        throw Error(std::string(what) + " " + path_.string() + ": " + std::strerror(errno), Error::Subject::Output);
    }

    std::filesystem::path path_;
    int fd_ = -1;
};

}  // namespace

std::vector<std::uint8_t> GenerateMap(const MapOptions& options, MapLayout* layout) {
    const MapPlan plan = MakePlan(options);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(plan.layout.fileLength));
    BlockWriter out([&bytes](const std::uint8_t* block, std::size_t n) { bytes.insert(bytes.end(), block, block + n); });
    WriteMapContent(out, plan, options);
    if (layout != nullptr) *layout = plan.layout;
    return bytes;
}

MapLayout WriteMap(const std::filesystem::path& path, const MapOptions& options) {
    const MapPlan plan = MakePlan(options);
    OutputFile file(path);
    BlockWriter out([&file](const std::uint8_t* block, std::size_t n) { file.Write(block, n); });
    WriteMapContent(out, plan, options);
    file.Close();
    return plan.layout;
}

}  // namespace xsc::mapgen

#pragma once
// Writing a file so that it is either absent or whole: the content goes to a temporary file in
// the target's folder, which is flushed and renamed over the target only when complete. A
// temporary file that is not committed is removed when the object goes away. Its lock is held
// meanwhile, so that the temporary files a killed writer left behind can be told from live
// ones: creating a temporary file removes the leftovers in the same folder.

#include <filesystem>

#include "runtime/NativeFile.h"

namespace xsc {

class TemporaryFile {
public:
    // Creates an empty temporary file in the folder of `target` (".<name>.xsc-XXXXXX"), owner
    // read-write only until it is committed; it then takes the permission bits of `modeFrom` when
    // given (not before: a read-only source would make the file unwritable while it is filled).
    static TemporaryFile Beside(const std::filesystem::path& target, const std::filesystem::path* modeFrom = nullptr);

    TemporaryFile(TemporaryFile&& other) noexcept;
    TemporaryFile& operator=(TemporaryFile&&) = delete;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();

    const std::filesystem::path& Path() const { return path_; }
    // Flushes the file to disk and renames it to `target`, replacing any file there.
    void CommitTo(const std::filesystem::path& target);

private:
    explicit TemporaryFile(std::filesystem::path path) : path_(std::move(path)) {}
    std::filesystem::path path_;
    bool committed_ = false;
    int mode_ = -1;  // permission bits to give the file when it is committed; -1: keep them
    NativeFile file_;  // held open, with the file's lock, for as long as this object lives
};

}  // namespace xsc

// The file primitives on Windows. Paths are wide (UTF-16) throughout. Every open lets others read,
// write, rename and remove the file, as POSIX does. Windows has no flush of a folder: a rename is
// made durable by the rename itself (write-through). Locks are byte-range locks, and mandatory:
// one taken on the file's data would block our own writes through another handle, so the lock
// stands on one byte far beyond any end a map can have.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <random>

#include "runtime/NativeFile.h"

namespace xsc {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The byte the lock stands on: far beyond the end of any file (maps end below 2 GB).
constexpr std::uint64_t kLockOffset = std::uint64_t{1} << 62;
// ReadFile and WriteFile take 32-bit counts.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return where;
}

NativeFile::Handle Create(const std::filesystem::path& path, DWORD access, DWORD disposition, DWORD flags) {
    return ::CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition, flags, nullptr);
}

}  // namespace

std::string SystemReason() {
    const DWORD code = ::GetLastError();
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide(text != nullptr ? text : L"", length);
    if (text != nullptr) ::LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L'.' || wide.back() == L' ')) {
        wide.pop_back();
    }
    if (wide.empty()) return "system error " + std::to_string(code);
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(std::max(bytes, 0)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

NativeFile NativeFile::Open(const std::filesystem::path& path, Access access) {
    const DWORD rights = access == Access::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    // Backup semantics let a folder open too, to be refused as not a regular file.
    return NativeFile(Create(path, rights, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS));
}

NativeFile NativeFile::CreateNew(const std::filesystem::path& path) {
    // CREATE_NEW fails on any name that exists; the reparse-point flag keeps it from acting
    // through a link.
    return NativeFile(
        Create(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT));
}

NativeFile NativeFile::CreateUnique(const std::filesystem::path& prefix, std::filesystem::path& created) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring name = prefix.native();
        for (int i = 0; i < 6; ++i) name += static_cast<wchar_t>(kLetters[pick(random)]);
        NativeFile file = CreateNew(name);
        if (file.IsOpen()) {
            created = name;
            return file;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS) return file;
    }
    return NativeFile();
}

void NativeFile::Close() {
    if (handle_ == kNone) return;
    // Closing releases a lock too, but only "in time"; a lock released now lets the next
    // compile in at once.
    OVERLAPPED where = At(kLockOffset);
    ::UnlockFileEx(handle_, 0, 1, 0, &where);
    ::CloseHandle(handle_);
    handle_ = kNone;
}

bool NativeFile::IsRegularFile() const {
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileType(handle_) == FILE_TYPE_DISK && ::GetFileInformationByHandle(handle_, &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool NativeFile::IsNamed(const std::filesystem::path& path) const {
    // A file is known by its volume and its index on it; the name is opened for its attributes
    // only, and as itself when it is a link.
    const NativeFile named(Create(path, 0, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS));
    BY_HANDLE_FILE_INFORMATION mine{}, theirs{};
    return named.IsOpen() && ::GetFileInformationByHandle(handle_, &mine) &&
           ::GetFileInformationByHandle(named.handle_, &theirs) &&
           mine.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber && mine.nFileIndexHigh == theirs.nFileIndexHigh &&
           mine.nFileIndexLow == theirs.nFileIndexLow;
}

std::int64_t NativeFile::Size() const {
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(handle_, &size) ? static_cast<std::int64_t>(size.QuadPart) : -1;
}

std::int64_t NativeFile::ReadAt(void* out, std::size_t count, std::int64_t offset) const {
    OVERLAPPED where = At(static_cast<std::uint64_t>(offset));
    DWORD got = 0;
    if (!::ReadFile(handle_, out, static_cast<DWORD>(std::min(count, kLargestTransfer)), &got, &where)) {
        return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }
    return got;
}

std::int64_t NativeFile::WriteAt(const void* bytes, std::size_t count, std::int64_t offset) {
    OVERLAPPED where = At(static_cast<std::uint64_t>(offset));
    DWORD put = 0;
    if (!::WriteFile(handle_, bytes, static_cast<DWORD>(std::min(count, kLargestTransfer)), &put, &where)) return -1;
    if (put == 0 && count > 0) {
        ::SetLastError(ERROR_DISK_FULL);
        return -1;
    }
    return put;
}

bool NativeFile::Allocate(std::int64_t, std::int64_t length) {
    // Setting the end of the file takes its clusters (files are not sparse unless asked to be).
    return SetSize(length);
}

bool NativeFile::SetSize(std::int64_t length) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = length;
    return ::SetFileInformationByHandle(handle_, FileEndOfFileInfo, &end, sizeof end) != 0;
}

bool NativeFile::Sync() { return ::FlushFileBuffers(handle_) != 0; }

std::int64_t NativeFile::CopyRangeFrom(const NativeFile&, std::int64_t, std::size_t) { return kCopyUnsupported; }

NativeFile::LockResult NativeFile::TryLock(LockKind kind) {
    OVERLAPPED where = At(kLockOffset);
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (kind == LockKind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (::LockFileEx(handle_, flags, 0, 1, 0, &where)) return LockResult::Taken;
    const DWORD code = ::GetLastError();
    return code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING ? LockResult::Busy : LockResult::Failed;
}

void NativeFile::TakeOwnerOf(const NativeFile&) {}  // access comes from the folder's list, not an owner

bool NativeFile::SetPermissions(unsigned) { return true; }

std::optional<unsigned> PermissionsOf(const std::filesystem::path&) { return std::nullopt; }

void SyncFolder(const std::filesystem::path&) {}

RemoveResult RemoveName(const std::filesystem::path& path) {
    if (::DeleteFileW(path.c_str())) return RemoveResult::Removed;
    const DWORD code = ::GetLastError();
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? RemoveResult::Missing : RemoveResult::Failed;
}

bool ReplaceName(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace xsc

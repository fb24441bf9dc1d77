#include "file_system.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

namespace kezurin::cli {

void ThrowErrno() { throw FileError(std::strerror(errno)); }

namespace {

template <class StatBuffer>
FileStatus StatusFrom(const StatBuffer& info) {
    FileStatus status;
    const auto type = info.st_mode & S_IFMT;
    status.kind = type == S_IFDIR ? FileKind::Folder : type == S_IFREG ? FileKind::RegularFile : FileKind::Other;
    status.size = static_cast<std::uint64_t>(info.st_size);
    status.mode = static_cast<unsigned>(info.st_mode);
    status.owner = static_cast<unsigned>(info.st_uid);
    status.group = static_cast<unsigned>(info.st_gid);
    return status;
}

}  // namespace

#ifdef _WIN32
namespace {

// Windows' reasons as the C library's errno, as its own file functions give
// them; only a name too long is told as such, where they say "not found".
int ErrnoFor(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_CURRENT_DIRECTORY: return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_BROKEN_PIPE: return EPIPE;
    default: return EINVAL;
    }
}

// Sets errno from the last failure of a Windows function; false.
bool Failed() {
    errno = ErrnoFor(GetLastError());
    return false;
}

// Every name of the program reaches the system through here. A name whose
// full path is short enough for every file function (a folder's must leave
// room for an 8.3 name in it) goes as it is, and the system makes its full
// path as it always has, devices and all. A longer one goes as the \\?\ form
// of its full path, which the file functions take up to 32,767 characters on
// every Windows, where the longPathAware manifest would need Windows 10 1607
// and a system setting on each machine. That form is taken literally, so the
// full path is made here first: relative names, "." and "..", "/", a drive's
// own current folder (C:foo) and UNC names resolved as the system would.
constexpr std::size_t kLongPath = MAX_PATH - 12;

std::wstring SystemName(const std::string& name) {
    std::wstring wide = WideFromUtf8(name);
    if (wide.starts_with(LR"(\\?\)")) return wide;
    std::wstring full(wide.size() + MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
    }
    if (length < kLongPath || length >= full.size()) return wide;
    full.resize(length);
    if (full.starts_with(LR"(\\.\)")) return full;  // a device
    if (full.starts_with(LR"(\\)")) return LR"(\\?\UNC\)" + full.substr(2);
    return LR"(\\?\)" + full;
}

FileStatus StatusOfHandle(HANDLE file) {
    FileStatus status;
    BY_HANDLE_FILE_INFORMATION info{};
    // A device, a pipe or a console is none of the two.
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info)) return status;
    status.kind = info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? FileKind::Folder : FileKind::RegularFile;
    status.size = static_cast<std::uint64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    return status;
}

}  // namespace

bool Stat(const std::string& name, FileStatus& status) {
    // Opened for no access at all, which no other program's sharing can deny.
    const HANDLE file = CreateFileW(SystemName(name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failed();
    status = StatusOfHandle(file);
    CloseHandle(file);
    return true;
}
bool FileStat(int fd, FileStatus& status) {
    struct _stat64 info {};
    if (_fstat64(fd, &info) != 0) return false;
    status = StatusFrom(info);
    return true;
}
int OpenFile(const std::string& name, OpenFor purpose) {
    const bool reading = purpose == OpenFor::Reading;
    const DWORD disposition = reading ? OPEN_EXISTING : purpose == OpenFor::Writing ? CREATE_ALWAYS : CREATE_NEW;
    const HANDLE file = CreateFileW(SystemName(name).c_str(), reading ? GENERIC_READ : GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Failed();
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), (reading ? _O_RDONLY : _O_WRONLY) | _O_BINARY);
    if (fd < 0) CloseHandle(file);
    return fd;
}
long long ReadSome(int fd, char* to, std::size_t size) {
    return _read(fd, to, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}
namespace {
long long WriteSome(int fd, const char* from, std::size_t size) {
    return _write(fd, from, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}
}  // namespace
long long SeekPosition(int fd) { return _lseeki64(fd, 0, SEEK_CUR); }
bool SeekTo(int fd, std::uint64_t position) { return _lseeki64(fd, static_cast<long long>(position), SEEK_SET) >= 0; }
int SyncFile(int fd) { return _commit(fd); }
int CloseFile(int fd) { return _close(fd); }
int RemoveFile(const std::string& name) {
    if (DeleteFileW(SystemName(name).c_str())) return 0;
    Failed();
    return -1;
}

namespace {
std::string LastWindowsError() {
    wchar_t text[512] = L"";
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        GetLastError(), 0, text, sizeof text / sizeof text[0], nullptr);
    std::string reason = Utf8FromWide({text, length});
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.')) {
        reason.pop_back();
    }
    return reason.empty() ? "cannot replace the file" : reason;
}
}  // namespace

void RenameOver(const std::string& from, const std::string& to) {
    if (!MoveFileExW(SystemName(from).c_str(), SystemName(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        throw FileError(LastWindowsError());
    }
}
void SyncFolder(const std::string&) {}
std::string FollowLinks(const std::string& name) { return name; }
// Windows keeps a file's permissions in its folder's ACL; nothing to copy.
void CopyPermissions(int, const FileStatus*) {}
int ProcessId() { return _getpid(); }
std::size_t LastSeparator(const std::string& name) { return name.find_last_of("/\\:"); }

std::string JoinName(const std::string& folder, std::string_view entry) {
    // "C:" alone is the drive's current folder: "C:a" is a name in it.
    const bool separated = folder.empty() || folder.back() == '\\' || folder.back() == '/' ||
                           (folder.size() == 2 && folder[1] == ':');
    std::string name = folder;
    if (!separated) name += '\\';
    return name.append(entry);
}

namespace {
// A symbolic link or a junction; other reparse points (cloud files, for
// example) are the folders and files they seem to be. Wine shows a link of
// the Unix side as a reparse point without a tag, which Windows never gives.
bool IsLink(const WIN32_FIND_DATAW& found) {
    const DWORD tag = found.dwReserved0;
    return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           (tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT || tag == 0);
}
}  // namespace

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileExW(SystemName(JoinName(folder, "*")).c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    // A drive's root has no "." and "..": empty, it has no entry at all.
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND || Failed();
    std::vector<std::pair<std::wstring, EntryKind>> listed;
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const EntryKind kind = IsLink(found)                                        ? EntryKind::Link
                               : found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? EntryKind::Folder
                                                                                   : EntryKind::Other;
        listed.emplace_back(name, kind);
    } while (FindNextFileW(search, &found));
    const DWORD ended = GetLastError();
    FindClose(search);
    if (ended != ERROR_NO_MORE_FILES) {
        errno = ErrnoFor(ended);
        return false;
    }
    // In the order of the names' UTF-16 code units.
    std::sort(listed.begin(), listed.end());
    for (const auto& [name, kind] : listed) {
        const std::string ownName = Utf8FromWide(name);
        std::string joined = JoinName(folder, ownName);
        const std::size_t ownNameAt = joined.size() - ownName.size();
        entries.push_back({std::move(joined), ownNameAt, kind});
    }
    return true;
}
#else
bool Stat(const std::string& name, FileStatus& status) {
    struct stat info {};
    if (stat(name.c_str(), &info) != 0) return false;
    status = StatusFrom(info);
    return true;
}
bool FileStat(int fd, FileStatus& status) {
    struct stat info {};
    if (fstat(fd, &info) != 0) return false;
    status = StatusFrom(info);
    return true;
}
int OpenFile(const std::string& name, OpenFor purpose) {
    switch (purpose) {
    case OpenFor::Reading: return open(name.c_str(), O_RDONLY | O_CLOEXEC);
    case OpenFor::Writing: return open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    case OpenFor::WritingAlone: return open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    }
    return -1;
}
long long ReadSome(int fd, char* to, std::size_t size) { return read(fd, to, size); }
namespace {
long long WriteSome(int fd, const char* from, std::size_t size) { return write(fd, from, size); }
}  // namespace
long long SeekPosition(int fd) { return lseek(fd, 0, SEEK_CUR); }
bool SeekTo(int fd, std::uint64_t position) { return lseek(fd, static_cast<off_t>(position), SEEK_SET) >= 0; }
int SyncFile(int fd) { return fsync(fd); }
int CloseFile(int fd) { return close(fd); }
int RemoveFile(const std::string& name) { return std::remove(name.c_str()); }

void RenameOver(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) ThrowErrno();
}

// A failure here loses nothing already renamed.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

std::string FollowLinks(const std::string& name) {
    char* resolved = realpath(name.c_str(), nullptr);
    if (!resolved) return name;
    std::string target = resolved;
    std::free(resolved);
    return target;
}

void CopyPermissions(int fd, const FileStatus* original) {
    if (original) {
        if (fchown(fd, original->owner, original->group) != 0) {
            // Only the owner's group may be kept by an ordinary user; the mode still is.
        }
        fchmod(fd, original->mode & 07777);
        return;
    }
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

int ProcessId() { return static_cast<int>(getpid()); }
std::size_t LastSeparator(const std::string& name) { return name.find_last_of('/'); }

std::string JoinName(const std::string& folder, std::string_view entry) {
    std::string name = folder;
    if (!name.empty() && name.back() != '/') name += '/';
    return name.append(entry);
}

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
    DIR* const dir = opendir(folder.c_str());
    if (!dir) return false;
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir);
        if (!entry) break;
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    const int error = errno;
    closedir(dir);
    if (error != 0) {
        errno = error;
        return false;
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        FolderEntry entry{JoinName(folder, name), 0, EntryKind::Unknown};
        entry.ownNameAt = entry.name.size() - name.size();
        struct stat info {};
        if (lstat(entry.name.c_str(), &info) != 0) {
            entry.error = errno;
        } else {
            entry.kind = S_ISDIR(info.st_mode) ? EntryKind::Folder : S_ISLNK(info.st_mode) ? EntryKind::Link : EntryKind::Other;
        }
        entries.push_back(std::move(entry));
    }
    return true;
}
#endif

void WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const long long written = WriteSome(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            ThrowErrno();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

}  // namespace kezurin::cli

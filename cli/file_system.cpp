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
// The wide functions: the ANSI ones would reach only names the code page holds.
bool Stat(const std::string& name, FileStatus& status) {
    struct _stat64 info {};
    if (_wstat64(WideFromUtf8(name).c_str(), &info) != 0) return false;
    status = StatusFrom(info);
    return true;
}
bool FileStat(int fd, FileStatus& status) {
    struct _stat64 info {};
    if (_fstat64(fd, &info) != 0) return false;
    status = StatusFrom(info);
    return true;
}
int OpenFile(const std::string& name, OpenFor purpose) {
    const std::wstring wide = WideFromUtf8(name);
    switch (purpose) {
    case OpenFor::Reading: return _wopen(wide.c_str(), _O_RDONLY | _O_BINARY);
    case OpenFor::Writing: return _wopen(wide.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
    case OpenFor::WritingAlone: return _wopen(wide.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    }
    return -1;
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
int RemoveFile(const std::string& name) { return _wremove(WideFromUtf8(name).c_str()); }

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
    if (!MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(),
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

#include "file_io.hpp"

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
namespace {

#ifdef _WIN32
// The wide functions: the ANSI ones would reach only names the code page holds.
using StatBuffer = struct _stat64;
int Stat(const std::string& path, StatBuffer& buffer) { return _wstat64(WideFromUtf8(path).c_str(), &buffer); }
int FileStat(int fd, StatBuffer& buffer) { return _fstat64(fd, &buffer); }
long long SeekPosition(int fd) { return _lseeki64(fd, 0, SEEK_CUR); }
int OpenFile(const std::string& path, int flags, int mode) {
    return _wopen(WideFromUtf8(path).c_str(), flags | _O_BINARY, mode);
}
long long ReadSome(int fd, char* to, std::size_t size) {
    return _read(fd, to, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}
long long WriteSome(int fd, const char* from, std::size_t size) {
    return _write(fd, from, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}
int CloseFile(int fd) { return _close(fd); }
int RemoveFile(const std::string& path) { return _wremove(WideFromUtf8(path).c_str()); }
std::string FollowLinks(const std::string& path) { return path; }
int SyncFile(int fd) { return _commit(fd); }
int ProcessId() { return _getpid(); }
void SyncFolder(const std::string&) {}
// Windows keeps a file's permissions in its folder's ACL; nothing to copy.
void CopyPermissions(int, const StatBuffer*) {}

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

void ReplaceFile(const std::string& from, const std::string& to) {
    if (!MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        throw FileError(LastWindowsError());
    }
}
#else
using StatBuffer = struct stat;
int Stat(const std::string& path, StatBuffer& buffer) { return stat(path.c_str(), &buffer); }
int FileStat(int fd, StatBuffer& buffer) { return fstat(fd, &buffer); }
long long SeekPosition(int fd) { return lseek(fd, 0, SEEK_CUR); }
int OpenFile(const std::string& path, int flags, int mode) { return open(path.c_str(), flags | O_CLOEXEC, mode); }
long long ReadSome(int fd, char* to, std::size_t size) { return read(fd, to, size); }
long long WriteSome(int fd, const char* from, std::size_t size) { return write(fd, from, size); }
int CloseFile(int fd) { return close(fd); }
int RemoveFile(const std::string& path) { return std::remove(path.c_str()); }

// The file a symbolic link points to: it is that file that gets replaced, and
// the link stays a link.
std::string FollowLinks(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string target = resolved;
    std::free(resolved);
    return target;
}
int SyncFile(int fd) { return fsync(fd); }
int ProcessId() { return static_cast<int>(getpid()); }

// Makes the rename itself durable; a failure here loses nothing already renamed.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

// The new file gets the mode and, where allowed, the owner of the one it
// replaces; a new file gets the usual mode for new files.
void CopyPermissions(int fd, const StatBuffer* original) {
    if (original) {
        if (fchown(fd, original->st_uid, original->st_gid) != 0) {
            // Only the owner's group may be kept by an ordinary user; the mode still is.
        }
        fchmod(fd, original->st_mode & 07777);
        return;
    }
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

void ReplaceFile(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) throw FileError(std::strerror(errno));
}
#endif

bool IsDirectory(const StatBuffer& info) { return (info.st_mode & S_IFMT) == S_IFDIR; }
bool IsRegularFile(const StatBuffer& info) { return (info.st_mode & S_IFMT) == S_IFREG; }

[[noreturn]] void ThrowErrno() { throw FileError(std::strerror(errno)); }

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

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) CloseFile(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

std::size_t LastSeparator(const std::string& path) {
#ifdef _WIN32
    return path.find_last_of("/\\:");
#else
    return path.find_last_of('/');
#endif
}

std::string FolderOf(const std::string& path) {
    const std::size_t separator = LastSeparator(path);
    if (separator == std::string::npos) return ".";
    return path.substr(0, separator + 1);
}

// Creates a new file beside `path` that no one else is using; returns its name.
std::pair<int, std::string> CreateTemporaryBeside(const std::string& path) {
    const std::size_t separator = LastSeparator(path);
    const std::string folder = separator == std::string::npos ? "" : path.substr(0, separator + 1);
    const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    for (int attempt = 0;; ++attempt) {
        const std::string temporary = folder + "." + name + ".kezurin-" + std::to_string(ProcessId()) + "-" +
                                      std::to_string(attempt) + ".tmp";
        const int fd = OpenFile(temporary, O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd >= 0) return {fd, temporary};
        if (errno != EEXIST || attempt == 100) ThrowErrno();
    }
}

int OpenForReading(const std::string& path) {
    StatBuffer info{};
    if (Stat(path, info) != 0) ThrowErrno();
    if (IsDirectory(info)) throw FileError("is a directory");
    const int fd = OpenFile(path, O_RDONLY, 0);
    if (fd < 0) ThrowErrno();
    return fd;
}

}  // namespace

struct Output::State {
    int fd;
    bool ownsFd;            // false for standard output, which stays open
    std::string temporary;  // renamed over `target` on Commit(); empty when writing directly
    std::string target;
    bool committed = false;

    State(int descriptor, bool owns) : fd(descriptor), ownsFd(owns) {}
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() {
        if (ownsFd && fd >= 0) CloseFile(fd);
        if (!temporary.empty() && !committed) RemoveFile(temporary);
    }
    // Closes now, reporting what closing reports (a late write error on some systems).
    void Close() {
        const int closing = fd;
        fd = -1;
        if (CloseFile(closing) != 0) ThrowErrno();
    }
};

void UseBinaryStandardStreams() {
#ifdef _WIN32
    _setmode(0, _O_BINARY);
    _setmode(1, _O_BINARY);
#endif
}

namespace {
bool IsTerminal(int fd) {
#ifdef _WIN32
    return _isatty(fd) != 0;
#else
    return isatty(fd) != 0;
#endif
}
}  // namespace

bool StandardErrorIsTerminal() { return IsTerminal(2); }
bool StandardOutputIsTerminal() { return IsTerminal(1); }

void WriteStandardError(std::string_view text) {
#ifdef _WIN32
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)) {
        const std::wstring wide = WideFromUtf8(text);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
#endif
    std::fwrite(text.data(), 1, text.size(), stderr);
}

InputStream InputStream::OpenFile(const std::string& path) { return InputStream(OpenForReading(path), true); }
InputStream InputStream::StandardInput() { return InputStream(0, false); }

InputStream::~InputStream() {
    if (ownsFd_ && fd_ >= 0) CloseFile(fd_);
}

std::size_t InputStream::ReadSome(char* to, std::size_t size) {
    for (;;) {
        const long long got = kezurin::cli::ReadSome(fd_, to, size);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) ThrowErrno();
    }
}

std::optional<InputStream::Place> InputStream::RegularFilePlace() const {
    StatBuffer info{};
    if (FileStat(fd_, info) != 0 || !IsRegularFile(info)) return std::nullopt;
    const long long position = SeekPosition(fd_);
    if (position < 0) return std::nullopt;
    return Place{static_cast<std::uint64_t>(position), static_cast<std::uint64_t>(info.st_size)};
}

void InputStream::SeekTo(std::uint64_t position) {
#ifdef _WIN32
    if (_lseeki64(fd_, static_cast<long long>(position), SEEK_SET) < 0) ThrowErrno();
#else
    if (lseek(fd_, static_cast<off_t>(position), SEEK_SET) < 0) ThrowErrno();
#endif
}

Output::Output(std::unique_ptr<State> state)
    : state_(std::move(state)), buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}
Output::Output(Output&&) noexcept = default;

Output::~Output() = default;

Output Output::StandardOutput() { return Output(std::make_unique<State>(1, false)); }

Output Output::ToFile(const std::string& path) {
    StatBuffer info{};
    if (Stat(path, info) != 0 || IsRegularFile(info)) return Replacing(path);
    const int fd = OpenFile(path, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) ThrowErrno();
    return Output(std::make_unique<State>(fd, true));
}

Output Output::Replacing(const std::string& linkOrFile) {
    const std::string path = FollowLinks(linkOrFile);
    StatBuffer info{};
    const bool exists = Stat(path, info) == 0;
    if (exists && IsDirectory(info)) throw FileError("is a directory");
    auto [fd, temporary] = CreateTemporaryBeside(path);
    auto state = std::make_unique<State>(fd, true);
    state->temporary = std::move(temporary);
    state->target = path;
    CopyPermissions(fd, exists ? &info : nullptr);
    return Output(std::move(state));
}

void Output::WriteBeyondBuffer(std::string_view bytes) {
    Flush();
    if (bytes.size() >= kDirectWrite) {
        WriteAll(state_->fd, bytes);
    } else {
        std::memcpy(buffer_.get(), bytes.data(), bytes.size());
        used_ = bytes.size();
    }
}

void Output::Flush() {
    WriteAll(state_->fd, {buffer_.get(), used_});
    used_ = 0;
}

void Output::Commit() {
    Flush();
    State& state = *state_;
    if (!state.ownsFd) return;
    if (!state.temporary.empty()) {
        if (SyncFile(state.fd) != 0) ThrowErrno();
        state.Close();
        ReplaceFile(state.temporary, state.target);
        state.committed = true;
        SyncFolder(FolderOf(state.target));
        return;
    }
    state.Close();
    state.committed = true;
}

}  // namespace kezurin::cli

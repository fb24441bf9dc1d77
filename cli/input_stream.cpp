#include "input_stream.hpp"

#include <cerrno>

#include "file_system.hpp"

namespace kezurin::cli {
namespace {

int OpenForReading(const std::string& path) {
    FileStatus status;
    if (!Stat(path, status)) ThrowErrno();
    if (status.kind == FileKind::Folder) throw FileError("is a directory");
    const int fd = kezurin::cli::OpenFile(path, OpenFor::Reading);
    if (fd < 0) ThrowErrno();
    return fd;
}

}  // namespace

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
    FileStatus status;
    if (!FileStat(fd_, status) || status.kind != FileKind::RegularFile) return std::nullopt;
    const long long position = SeekPosition(fd_);
    if (position < 0) return std::nullopt;
    return Place{static_cast<std::uint64_t>(position), status.size};
}

void InputStream::SeekTo(std::uint64_t position) {
    if (!kezurin::cli::SeekTo(fd_, position)) ThrowErrno();
}

}  // namespace kezurin::cli

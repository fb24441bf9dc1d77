#include "output.hpp"

#include <cerrno>
#include <utility>

#include "file_system.hpp"

namespace kezurin::cli {
namespace {

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
        const int fd = OpenFile(temporary, OpenFor::WritingAlone);
        if (fd >= 0) return {fd, temporary};
        if (errno != EEXIST || attempt == 100) ThrowErrno();
    }
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

Output::Output(std::unique_ptr<State> state)
    : state_(std::move(state)), buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}
Output::Output(Output&&) noexcept = default;

Output::~Output() = default;

Output Output::StandardOutput() { return Output(std::make_unique<State>(1, false)); }

Output Output::ToFile(const std::string& path) {
    FileStatus status;
    if (!Stat(path, status) || status.kind == FileKind::RegularFile) return Replacing(path);
    const int fd = OpenFile(path, OpenFor::Writing);
    if (fd < 0) ThrowErrno();
    return Output(std::make_unique<State>(fd, true));
}

Output Output::Replacing(const std::string& linkOrFile) {
    const std::string path = FollowLinks(linkOrFile);
    FileStatus status;
    const bool exists = Stat(path, status);
    if (exists && status.kind == FileKind::Folder) throw FileError("is a directory");
    auto [fd, temporary] = CreateTemporaryBeside(path);
    auto state = std::make_unique<State>(fd, true);
    state->temporary = std::move(temporary);
    state->target = path;
    CopyPermissions(fd, exists ? &status : nullptr);
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
        RenameOver(state.temporary, state.target);
        state.committed = true;
        SyncFolder(FolderOf(state.target));
        return;
    }
    state.Close();
    state.committed = true;
}

}  // namespace kezurin::cli

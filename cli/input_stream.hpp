#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kezurin::cli {

// An input read piece by piece: a file, or standard input (which stays open).
// Failures are thrown as FileError (file_system.hpp).
class InputStream {
public:
    static InputStream OpenFile(const std::string& path);
    static InputStream StandardInput();

    InputStream(InputStream&& other) noexcept : fd_(other.fd_), ownsFd_(other.ownsFd_) { other.fd_ = -1; }
    InputStream& operator=(InputStream&&) = delete;
    ~InputStream();

    // Reads up to `size` bytes to `to`; 0 only at the end.
    std::size_t ReadSome(char* to, std::size_t size);

    // For a regular file, where reading stands and the file's size; nothing
    // for what can only be read on (a pipe, a terminal).
    struct Place {
        std::uint64_t position;
        std::uint64_t size;
    };
    std::optional<Place> RegularFilePlace() const;
    // Goes back (or on) to `position` of a regular file.
    void SeekTo(std::uint64_t position);

private:
    InputStream(int fd, bool ownsFd) : fd_(fd), ownsFd_(ownsFd) {}

    int fd_;
    bool ownsFd_;
};

}  // namespace kezurin::cli

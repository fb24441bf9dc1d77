#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace kezurin::cli {

// A buffered output: standard output, a file written directly, or a file
// replaced as a whole. A replaced file is written to a temporary file beside
// it, which Commit() flushes to the disk and renames over it, keeping its
// permissions; until then the original stays untouched, and the temporary
// file is removed again when the output is dropped without Commit().
// Failures are thrown as FileError (file_system.hpp).
class Output {
public:
    static Output StandardOutput();
    // Replaces `path` as a whole when it is a regular file or does not exist
    // yet; writes into anything else (a device, a pipe) directly.
    static Output ToFile(const std::string& path);
    static Output Replacing(const std::string& path);

    Output(Output&&) noexcept;
    Output& operator=(Output&&) = delete;
    ~Output();

    void Write(std::string_view bytes) {
        if (bytes.size() < kDirectWrite && bytes.size() <= kBufferSize - used_) {
            std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
            used_ += bytes.size();
        } else {
            WriteBeyondBuffer(bytes);
        }
    }
    // Room for at least `size` bytes (up to the buffer's size) in the buffer,
    // to write into; Wrote(size) then takes them as written.
    std::span<char> Room(std::size_t size) {
        if (kBufferSize - used_ < size) Flush();
        return {buffer_.get() + used_, kBufferSize - used_};
    }
    void Wrote(std::size_t size) { used_ += size; }
    // Writes out everything; for a replaced file also syncs and renames it.
    void Commit();

private:
    static constexpr std::size_t kBufferSize = 256 * 1024;
    // Pieces this large go out as they are, without a copy.
    static constexpr std::size_t kDirectWrite = 64 * 1024;
    struct State;

    explicit Output(std::unique_ptr<State> state);
    void WriteBeyondBuffer(std::string_view bytes);
    void Flush();

    std::unique_ptr<State> state_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
};

}  // namespace kezurin::cli

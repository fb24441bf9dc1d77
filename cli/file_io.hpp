#pragma once

// The command-line program's files and standard streams: inputs read a part
// at a time, buffered outputs, a file replaced only once its new
// text is complete, and messages on standard error. Names are UTF-8 inside the
// program on every system. Every failure is thrown as a FileError whose
// message is the reason alone; the caller adds the file's name.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#ifdef _WIN32
#include "wtf8.hpp"
#endif

namespace kezurin::cli {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Standard input and output carry bytes, never translated line breaks.
void UseBinaryStandardStreams();
bool StandardErrorIsTerminal();
bool StandardOutputIsTerminal();

// Writes UTF-8 text to standard error: on a Windows console as characters, so
// that every name reads right whatever the console's code page; elsewhere as
// the bytes they are.
void WriteStandardError(std::string_view text);

#ifdef _WIN32
// Windows names files in UTF-16 and allows unpaired surrogates in them; those
// go through as WTF-8 (UTF-8 that encodes them like other characters), so that
// every name found in a folder can be opened again.
inline std::string Utf8FromWide(std::wstring_view wide) { return Wtf8FromUtf16(wide); }
inline std::wstring WideFromUtf8(std::string_view utf8) { return Utf16FromWtf8<wchar_t>(utf8); }
#endif

// An input read piece by piece: a file, or standard input (which stays open).
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

// A buffered output: standard output, a file written directly, or a file
// replaced as a whole. A replaced file is written to a temporary file beside
// it, which Commit() flushes to the disk and renames over it, keeping its
// permissions; until then the original stays untouched, and the temporary
// file is removed again when the output is dropped without Commit().
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

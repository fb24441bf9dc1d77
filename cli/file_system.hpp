#pragma once

// The operating system's files for the command-line program, one set of calls
// on Linux and on Windows. Names are UTF-8 inside the program on every system.
// The calls report a failure the POSIX way (a result of -1 or false, the
// reason in errno); ThrowErrno() turns it into a FileError, whose message is
// the reason alone: the caller adds the file's name.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include "wtf8.hpp"
#endif

namespace kezurin::cli {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void ThrowErrno();

#ifdef _WIN32
// Windows names files in UTF-16 and allows unpaired surrogates in them; those
// go through as WTF-8 (UTF-8 that encodes them like other characters), so that
// every name found in a folder can be opened again.
inline std::string Utf8FromWide(std::wstring_view wide) { return Wtf8FromUtf16(wide); }
inline std::wstring WideFromUtf8(std::string_view utf8) { return Utf16FromWtf8<wchar_t>(utf8); }
#endif

enum class FileKind { Folder, RegularFile, Other };

// What a name or an open file stands for, links followed.
struct FileStatus {
    FileKind kind = FileKind::Other;
    std::uint64_t size = 0;
    // What a file that replaces this one takes over on POSIX systems;
    // Windows keeps them in the folder's ACL.
    unsigned mode = 0;
    unsigned owner = 0;
    unsigned group = 0;
};
bool Stat(const std::string& name, FileStatus& status);
bool FileStat(int fd, FileStatus& status);

enum class OpenFor {
    Reading,
    Writing,       // created when missing, emptied when it is a file
    WritingAlone,  // created here and now, or not at all (EEXIST); only its owner may read it
};
// A file descriptor, or -1. Reading and writing carry bytes, never translated line breaks.
int OpenFile(const std::string& name, OpenFor purpose);
long long ReadSome(int fd, char* to, std::size_t size);
void WriteAll(int fd, std::string_view bytes);
// Where reading stands, or -1; going to a place of a regular file.
long long SeekPosition(int fd);
bool SeekTo(int fd, std::uint64_t position);
int SyncFile(int fd);
int CloseFile(int fd);

int RemoveFile(const std::string& name);
// Renames `from` over `to` (throws FileError).
void RenameOver(const std::string& from, const std::string& to);
// Makes a rename in `folder` durable where the system asks for that.
void SyncFolder(const std::string& folder);
// The file a symbolic link points to: it is that file that gets replaced, and
// the link stays a link.
std::string FollowLinks(const std::string& name);
// The mode and owner of `original`, or the usual mode of a new file.
void CopyPermissions(int fd, const FileStatus* original);
int ProcessId();

// Where the last folder separator of a name stands, or npos.
std::size_t LastSeparator(const std::string& name);
// The name of `entry` inside `folder`, spelled as the folder was.
std::string JoinName(const std::string& folder, std::string_view entry);

// An entry of a folder, told apart without following a link.
enum class EntryKind { Folder, Link, Other, Unknown };
struct FolderEntry {
    std::string name;  // JoinName(folder, its own name)
    std::size_t ownNameAt;
    EntryKind kind;
    int error = 0;  // why its kind is Unknown (an errno)

    std::string_view OwnName() const { return std::string_view(name).substr(ownNameAt); }
};
// The entries of `folder` but "." and "..", in the order of their names;
// false, with errno set, when it cannot be listed to its end.
bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries);

}  // namespace kezurin::cli

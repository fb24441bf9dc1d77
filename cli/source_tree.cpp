#include "source_tree.hpp"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "file_system.hpp"  // WideFromUtf8
#include "input_text.hpp"  // EqualsIgnoringCase

namespace kezurin::cli {
namespace {

namespace fs = std::filesystem;

// Names are UTF-8 in the program. A narrow path means the ANSI code page to
// some Windows libraries and UTF-8 to others, so there they go through UTF-16.
#ifdef _WIN32
fs::path PathOf(const std::string& name) { return fs::path(WideFromUtf8(name)); }
std::string NameOf(const fs::path& path) { return Utf8FromWide(path.native()); }
#else
fs::path PathOf(const std::string& name) { return fs::path(name); }
std::string NameOf(const fs::path& path) { return path.string(); }
#endif

constexpr std::array<std::string_view, 7> kVersionControlFolders = {".git", ".svn", ".hg", ".bzr", "CVS", "_darcs", ".fossil"};

bool HasExtension(const fs::path& file, const std::vector<std::string>& extensions) {
    const std::string name = NameOf(file.filename());
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return false;
    const std::string_view ending = std::string_view(name).substr(dot + 1);
    return std::any_of(extensions.begin(), extensions.end(),
                       [ending](const std::string& wanted) { return EqualsIgnoringCase(ending, wanted); });
}

bool IsVersionControlFolder(const fs::path& folder) {
    const std::string name = NameOf(folder.filename());
    return std::find(kVersionControlFolders.begin(), kVersionControlFolders.end(), name) != kVersionControlFolders.end();
}

struct Walk {
    const std::vector<std::string>& extensions;
    const std::function<void(const std::string&, const std::string&)>& report;
    std::vector<std::string>& files;

    void Folder(const fs::path& folder) {
        std::error_code error;
        std::vector<fs::path> entries;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            entries.push_back(it->path());
        }
        if (error) {
            report(NameOf(folder), error.message());
            return;
        }
        std::sort(entries.begin(), entries.end());
        for (const fs::path& entry : entries) {
            std::error_code statusError;
            const fs::file_status own = fs::symlink_status(entry, statusError);
            if (fs::is_directory(own)) {
                if (!IsVersionControlFolder(entry)) Folder(entry);
            } else if (HasExtension(entry, extensions) && !fs::is_directory(fs::status(entry, statusError))) {
                // Links to files count; a broken one is reported when it is read.
                files.push_back(NameOf(entry));
            }
        }
    }
};

}  // namespace

std::vector<std::string> ParseExtensionList(std::string_view list) {
    std::vector<std::string> extensions;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        std::string_view item = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        while (!item.empty() && (item.front() == ' ' || item.front() == '.')) item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
        if (!item.empty()) extensions.emplace_back(item);
    }
    return extensions;
}

std::vector<std::string> ExpandFolders(const std::vector<std::string>& inputs,
                                       const std::vector<std::string>& extensions,
                                       const std::function<void(const std::string&, const std::string&)>& report) {
    std::vector<std::string> files;
    Walk walk{extensions, report, files};
    for (const std::string& input : inputs) {
        std::error_code error;
        if (input != "-" && fs::is_directory(fs::status(PathOf(input), error))) {
            walk.Folder(PathOf(input));
        } else {
            files.push_back(input);  // read as given, whatever its name
        }
    }
    return files;
}

}  // namespace kezurin::cli

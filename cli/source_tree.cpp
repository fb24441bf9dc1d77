#include "source_tree.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "file_system.hpp"
#include "input_text.hpp"  // EqualsIgnoringCase

namespace kezurin::cli {
namespace {

constexpr std::array<std::string_view, 7> kVersionControlFolders = {".git", ".svn", ".hg", ".bzr", "CVS", "_darcs", ".fossil"};

bool HasExtension(std::string_view name, const std::vector<std::string>& extensions) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return false;
    const std::string_view ending = name.substr(dot + 1);
    return std::any_of(extensions.begin(), extensions.end(),
                       [ending](const std::string& wanted) { return EqualsIgnoringCase(ending, wanted); });
}

bool IsVersionControlFolder(std::string_view name) {
    return std::find(kVersionControlFolders.begin(), kVersionControlFolders.end(), name) != kVersionControlFolders.end();
}

bool IsFolder(const std::string& name) {
    FileStatus status;
    return Stat(name, status) && status.kind == FileKind::Folder;
}

struct Walk {
    const std::vector<std::string>& extensions;
    const std::function<void(const std::string&, const std::string&)>& report;
    std::vector<std::string>& files;

    void Folder(const std::string& folder) {
        std::vector<FolderEntry> entries;
        if (!ListFolder(folder, entries)) return report(folder, std::strerror(errno));
        for (const FolderEntry& entry : entries) {
            switch (entry.kind) {
            case EntryKind::Folder:
                if (!IsVersionControlFolder(entry.OwnName())) Folder(entry.name);
                break;
            case EntryKind::Link:
                // Links to files count; a broken one is reported when it is read.
                if (HasExtension(entry.OwnName(), extensions) && !IsFolder(entry.name)) files.push_back(entry.name);
                break;
            case EntryKind::Other:
                if (HasExtension(entry.OwnName(), extensions)) files.push_back(entry.name);
                break;
            case EntryKind::Unknown:
                // It may be a folder of sources as well as a file.
                report(entry.name, std::strerror(entry.error));
                break;
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
        if (input != "-" && IsFolder(input)) {
            walk.Folder(input);
        } else {
            files.push_back(input);  // read as given, whatever its name
        }
    }
    return files;
}

}  // namespace kezurin::cli

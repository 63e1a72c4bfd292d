#pragma once

#include "engine/FileSystem.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace foldwise {
namespace fs = std::filesystem;

// Which file-system object an entry is: the same device and inode mean the same object.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// An open folder. Its operations take names relative to it, which spares the kernel a full path
// lookup per call when many entries of one folder are handled.
class Folder {
public:
    explicit Folder(const fs::path& path);                 // throws FileError
    Folder(const Folder& parent, const std::string& name); // a sub-folder, never through a link
    enum class Links { Refuse, Follow };
    Folder(const Folder& parent, const std::string& name, Links links);
    ~Folder();

    // The process's working directory: names relative to it are paths, absolute or relative.
    static Folder workingDirectory();

    Folder(Folder&& other) noexcept;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    Folder& operator=(Folder&&) = delete;

    const fs::path& path() const { return path_; }
    int fd() const { return fd_; }

    // Names of the folder's entries, in the directory's own order.
    std::vector<std::string> names(bool includeHidden) const;

    struct Entry {
        std::string name;
        bool isRealFolder; // a folder, not a link to one
    };
    // The same, with what each entry is, taken from the directory itself where it says.
    std::vector<Entry> entries(bool includeHidden) const;

    EntryKind kindOf(const std::string& relative) const;                       // follows links
    bool exists(const std::string& relative) const;                            // follows links
    bool isRealFolder(const std::string& name) const;                          // a folder, not a link to one
    std::optional<FileIdentity> identityOf(const std::string& relative) const; // follows links
    FileIdentity identity() const;

    // Calls `visit` for every entry below this folder at any depth, files and folders alike, with
    // the open folder that holds it. Hidden entries (and everything in a hidden folder) are left out;
    // a link to a folder is reported but never entered; packages are not entered when the options
    // say so. Sub-folders that cannot be read are passed over. Each folder's names are read before
    // its entries are visited, so a visitor may move them. Returns false when this folder cannot be
    // listed. Exceptions from `visit` pass through.
    using Visitor = std::function<void(const Folder& parent, const std::string& name)>;
    bool walk(WalkOptions options, const Visitor& visit) const;

    // Creates the sub-folder `name`; a folder already there is fine.
    void createFolder(const std::string& name) const;

    // Moves `name` to `destinationRelative` in `destination`, never replacing what is there.
    MoveResult moveNoReplace(const std::string& name, const Folder& destination,
                             const std::string& destinationRelative) const;

private:
    Folder(int fd, fs::path path) : fd_(fd), path_(std::move(path)) {}

    int fd_;
    fs::path path_;
};

} // namespace foldwise

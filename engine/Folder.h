#pragma once

#include "engine/FileSystem.h"
#include "engine/MoveControl.h"

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
    // The folder at `path`, or nothing when nothing is there; throws FileError for other failures.
    static std::optional<Folder> openIfThere(const fs::path& path);
    // The folder that holds `child` now, through its "..".
    static Folder parentOf(const Folder& child); // throws FileError

    Folder(Folder&& other) noexcept;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    Folder& operator=(Folder&&) = delete;

    fs::path path() const { return path_; }
    int fd() const { return fd_; }

    // Names of the folder's entries, in the directory's own order.
    std::vector<std::string> names(bool includeHidden) const;

    struct Entry {
        std::string name;
        bool isRealFolder;  // a folder, not a link to one
        bool isRegularFile; // as the directory says; false where it does not say
        ino_t inode;        // as the directory says: see listsTrueInodes
    };
    // The same, with what each entry is, taken from the directory itself where it says.
    std::vector<Entry> entries(bool includeHidden) const;

    // Whether this folder's file system lists each entry with the inode that stat gives it, as the
    // common local ones do (overlay file systems, for one, need not).
    bool listsTrueInodes() const;

    EntryKind kindOf(const std::string& relative) const;                        // follows links
    bool exists(const std::string& relative) const;                             // follows links
    bool isRealFolder(const std::string& name) const;                           // a folder, not a link to one
    bool isAnything(const std::string& name) const;                             // a dangling link too
    std::optional<FileIdentity> identityOf(const std::string& relative) const;  // follows links
    std::optional<FileIdentity> entryIdentityOf(const std::string& name) const; // a link's own
    static std::optional<FileIdentity> identityOfPath(const fs::path& path);    // follows links
    FileIdentity identity() const;

    // Creates the sub-folder `name`; a folder already there is fine.
    void createFolder(const std::string& name) const;

    // Moves `name` to `destinationName` directly in `destination`, never replacing what is there,
    // copying when the two lie on different file systems. A file that vanished before it could be
    // moved, and a destination folder that was removed, are results, not errors.
    MoveResult moveNoReplace(const std::string& name, const Folder& destination, const std::string& destinationName,
                             const MoveControl& control = {}) const;

private:
    Folder(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

    int fd_;
    // Kept as plain bytes: a path object of a deep folder would hold one part per level.
    std::string path_;
};

} // namespace foldwise

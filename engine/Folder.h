#pragma once

#include "engine/Descriptor.h"
#include "engine/FileSystem.h"
#include "engine/MoveControl.h"

#include <filesystem>
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

// An entry of a folder, as its listing gives it.
struct FolderEntry {
    std::string name;
    bool isRealFolder;  // a folder, not a link to one
    bool isRegularFile; // as the listing says; false where it does not say
    ino_t inode;        // as the listing says: see Folder::listsTrueInodes
};

// The entries of the open folder `folderFd`, in the directory's own order. Returns the errno of a
// failure in `error`, with what was listed before it.
std::vector<FolderEntry> listEntries(int folderFd, bool includeHidden, int& error);

// An open folder. Its operations take names relative to it, which spares the kernel a full path
// lookup per call when many entries of one folder are handled.
class Folder {
public:
    explicit Folder(const fs::path& path);                 // throws FileError
    Folder(const Folder& parent, const std::string& name); // a sub-folder, never through a link
    // The folder at `path`, or nothing when nothing is there; throws FileError for other failures.
    static std::optional<Folder> openIfThere(const fs::path& path);

    const fs::path path() const { return path_; }
    int fd() const { return fd_.get(); }
    FileIdentity identity() const;

    using Entry = FolderEntry;
    std::vector<Entry> entries(bool includeHidden) const; // throws FileError
    std::vector<std::string> names(bool includeHidden) const;

    // Whether this folder's file system lists each entry with the inode that stat gives it, as the
    // common local ones do (overlay file systems, for one, need not).
    bool listsTrueInodes() const;

    // What is at `name`, never following a link there: nothing when nothing is.
    std::optional<FileIdentity> entryIdentityOf(const std::string& name) const;
    bool isAnything(const std::string& name) const { return entryIdentityOf(name).has_value(); }
    static std::optional<FileIdentity> identityOfPath(const fs::path& path); // follows links

    // Moves `name` to `destinationName` directly in `destination`, never replacing what is there,
    // copying when the two lie on different file systems. A file that vanished before it could be
    // moved, a destination folder that was removed, and a name or size the destination's file system
    // cannot store (NameRefused, TooLarge: the file stays) are results, not errors.
    MoveResult moveNoReplace(const std::string& name, const Folder& destination, const std::string& destinationName,
                             const MoveControl& control = {}) const;

private:
    Folder(Descriptor fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}

    Descriptor fd_;
    // Kept as plain bytes: a path object of a deep folder would hold one part per level.
    std::string path_;
};

} // namespace foldwise

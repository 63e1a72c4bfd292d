#include "engine/Folder.h"

#include "engine/CrossDeviceMove.h"
#include "engine/FileError.h"
#include "engine/MoveFailure.h"
#include "engine/NoReplaceRename.h"
#include "engine/Volume.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace foldwise {

namespace {

std::string joined(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + '/' + name;
}

Descriptor openFolder(int parentFd, const char* path, int extraFlags, const std::string& shownPath) {
    Descriptor fd(::openat(parentFd, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | extraFlags));
    if (!fd.isOpen()) {
        throw FileError::fromErrno("Could not open the folder " + FileSystem::quoted(shownPath), errno);
    }
    return fd;
}

bool isRealFolder(int folderFd, const char* name) {
    struct stat status {};
    return ::fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

std::vector<FolderEntry> listEntries(int folderFd, bool includeHidden, int& error) {
    // fdopendir takes the descriptor it is given, and its reading moves the descriptor's offset: it
    // gets one of its own.
    Descriptor listing(::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(listing.isOpen() ? ::fdopendir(listing.get()) : nullptr, ::closedir);
    if (!dir) {
        error = errno;
        return {};
    }
    listing.release(); // closed with the listing
    std::vector<FolderEntry> result;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (name == "." || name == ".." || (!includeHidden && FileSystem::isHiddenName(name))) {
            continue;
        }
        // Most file systems say what an entry is; only where one does not is a look needed.
        const bool isFolder =
            entry->d_type == DT_UNKNOWN ? isRealFolder(folderFd, entry->d_name) : entry->d_type == DT_DIR;
        result.push_back(FolderEntry{std::string(name), isFolder, entry->d_type == DT_REG, entry->d_ino});
    }
    error = errno;
    return result;
}

Folder::Folder(const fs::path& path) : Folder(openFolder(AT_FDCWD, path.c_str(), 0, path.native()), path.native()) {}

Folder::Folder(const Folder& parent, const std::string& name)
    : Folder(openFolder(parent.fd(), name.c_str(), O_NOFOLLOW, joined(parent.path_, name)),
             joined(parent.path_, name)) {}

std::optional<Folder> Folder::openIfThere(const fs::path& path) {
    try {
        return Folder(path);
    } catch (const FileError& error) {
        if (error.errorNumber() == ENOENT) {
            return std::nullopt;
        }
        throw;
    }
}

FileIdentity Folder::identity() const {
    struct stat status {};
    ::fstat(fd(), &status);
    return FileIdentity{status.st_dev, status.st_ino};
}

std::vector<Folder::Entry> Folder::entries(bool includeHidden) const {
    int error = 0;
    std::vector<Entry> result = listEntries(fd(), includeHidden, error);
    if (error != 0) {
        throw FileError::fromErrno("Could not list the folder " + FileSystem::quoted(path_), error);
    }
    return result;
}

std::vector<std::string> Folder::names(bool includeHidden) const {
    std::vector<std::string> result;
    for (Entry& entry : entries(includeHidden)) {
        result.push_back(std::move(entry.name));
    }
    return result;
}

bool Folder::listsTrueInodes() const {
    constexpr std::array trusted{0xEF53L /* ext2-4 */, 0x01021994L /* tmpfs */, 0x58465342L /* xfs */,
                                 0x9123683EL /* btrfs */, 0xF2F52010L /* f2fs */};
    struct statfs volume {};
    return ::fstatfs(fd(), &volume) == 0 &&
           std::find(trusted.begin(), trusted.end(), static_cast<long>(volume.f_type)) != trusted.end();
}

std::optional<FileIdentity> Folder::entryIdentityOf(const std::string& name) const {
    struct stat status {};
    if (::fstatat(fd(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    return FileIdentity{status.st_dev, status.st_ino};
}

std::optional<FileIdentity> Folder::identityOfPath(const fs::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{status.st_dev, status.st_ino};
}

MoveResult Folder::moveNoReplace(const std::string& name, const Folder& destination, const std::string& destinationName,
                                 const MoveControl& control) const {
    const MoveFailure failure(name, path_, destination.path_);
    const int error = renameNoReplace(fd(), name.c_str(), destination.fd(), destinationName.c_str());
    if (error != 0 && Volume::isNameRefusal(error, destination.fd(), destinationName)) {
        return MoveResult::NameRefused;
    }
    switch (error) {
    case 0:
        return MoveResult::Moved;
    case EEXIST:
        return MoveResult::DestinationExists;
    case EXDEV:
        return moveAcrossDevices(fd(), name, destination.fd(), destinationName, control, failure);
    case ENOENT:
        // Either the file or the folder it was to go into is gone.
        return isAnything(name) ? MoveResult::DestinationFolderGone : MoveResult::SourceVanished;
    case EACCES:
    case EPERM:
    case EROFS:
        throw failure.refused(error, fd());
    default:
        throw failure.atDestination(error);
    }
}

} // namespace foldwise

#include "engine/Folder.h"

#include "engine/CrossDeviceMove.h"
#include "engine/FileError.h"
#include "engine/MoveFailure.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace foldwise {

namespace {

std::string joined(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + '/' + name;
}

std::string parentPathOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

int openFolder(int parentFd, const char* path, int extraFlags) {
    return ::openat(parentFd, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | extraFlags);
}

} // namespace

Folder::Folder(const fs::path& path) : fd_(openFolder(AT_FDCWD, path.c_str(), 0)), path_(path.native()) {
    if (fd_ < 0) {
        throw FileError::fromErrno("Could not open the folder " + FileSystem::quoted(path), errno);
    }
}

Folder::Folder(const Folder& parent, const std::string& name) : Folder(parent, name, Links::Refuse) {}

Folder::Folder(const Folder& parent, const std::string& name, Links links)
    : fd_(openFolder(parent.fd_, name.c_str(), links == Links::Refuse ? O_NOFOLLOW : 0)),
      path_(joined(parent.path_, name)) {
    if (fd_ < 0) {
        throw FileError::fromErrno("Could not open the folder " + FileSystem::quoted(path_), errno);
    }
}

Folder Folder::workingDirectory() {
    return Folder(AT_FDCWD, fs::path());
}

std::optional<Folder> Folder::openIfThere(const fs::path& path) {
    const int fd = openFolder(AT_FDCWD, path.c_str(), 0);
    if (fd < 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        throw FileError::fromErrno("Could not open the folder " + FileSystem::quoted(path), errno);
    }
    return Folder(fd, path.native());
}

Folder Folder::parentOf(const Folder& child) {
    const int fd = openFolder(child.fd_, "..", 0);
    if (fd < 0) {
        throw FileError::fromErrno("Could not open the folder " + FileSystem::quoted(parentPathOf(child.path_)), errno);
    }
    return Folder(fd, parentPathOf(child.path_));
}

Folder::~Folder() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

Folder::Folder(Folder&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) {
    other.fd_ = -1;
}

std::vector<std::string> Folder::names(bool includeHidden) const {
    std::vector<std::string> result;
    for (Entry& entry : entries(includeHidden)) {
        result.push_back(std::move(entry.name));
    }
    return result;
}

std::vector<Folder::Entry> Folder::entries(bool includeHidden) const {
    // fdopendir takes ownership of the descriptor it is given, so it gets a duplicate.
    const int listingFd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listingFd < 0 ? nullptr : ::fdopendir(listingFd);
    if (dir == nullptr) {
        const int error = errno;
        if (listingFd >= 0) {
            ::close(listingFd);
        }
        throw FileError::fromErrno("Could not list the folder " + FileSystem::quoted(path_), error);
    }
    std::vector<Entry> result;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name == "." || name == ".." || (!includeHidden && FileSystem::isHiddenName(name))) {
            continue;
        }
        // Most file systems say what an entry is; only where one does not is a stat needed.
        const bool isFolder = entry->d_type == DT_UNKNOWN ? isRealFolder(entry->d_name) : entry->d_type == DT_DIR;
        result.push_back(Entry{std::string(name), isFolder, entry->d_type == DT_REG, entry->d_ino});
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0) {
        throw FileError::fromErrno("Could not list the folder " + FileSystem::quoted(path_), error);
    }
    return result;
}

bool Folder::listsTrueInodes() const {
    constexpr std::array trusted{0xEF53L /* ext2-4 */, 0x01021994L /* tmpfs */, 0x58465342L /* xfs */,
                                 0x9123683EL /* btrfs */, 0xF2F52010L /* f2fs */};
    struct statfs volume {};
    return ::fstatfs(fd_, &volume) == 0 &&
           std::find(trusted.begin(), trusted.end(), static_cast<long>(volume.f_type)) != trusted.end();
}

EntryKind Folder::kindOf(const std::string& relative) const {
    struct stat status {};
    if (::fstatat(fd_, relative.c_str(), &status, 0) != 0) {
        return EntryKind::Missing;
    }
    return S_ISDIR(status.st_mode) ? EntryKind::Directory : EntryKind::File;
}

std::optional<FileIdentity> Folder::identityOf(const std::string& relative) const {
    struct stat status {};
    if (::fstatat(fd_, relative.c_str(), &status, 0) != 0) {
        return std::nullopt;
    }
    return FileIdentity{status.st_dev, status.st_ino};
}

std::optional<FileIdentity> Folder::entryIdentityOf(const std::string& name) const {
    struct stat status {};
    if (::fstatat(fd_, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
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

FileIdentity Folder::identity() const {
    struct stat status {};
    ::fstat(fd_, &status);
    return FileIdentity{status.st_dev, status.st_ino};
}

bool Folder::exists(const std::string& relative) const {
    struct stat status {};
    return ::fstatat(fd_, relative.c_str(), &status, 0) == 0;
}

bool Folder::isRealFolder(const std::string& name) const {
    struct stat status {};
    return ::fstatat(fd_, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
}

void Folder::createFolder(const std::string& name) const {
    if (::mkdirat(fd_, name.c_str(), 0777) == 0) {
        return;
    }
    const int error = errno;
    if (error == EEXIST && kindOf(name) == EntryKind::Directory) {
        return; // made by someone else in the meantime
    }
    throw FileError::fromErrno("Could not create the folder " + FileSystem::quoted(joined(path_, name)), error);
}

MoveResult Folder::moveNoReplace(const std::string& name, const Folder& destination, const std::string& destinationName,
                                 const MoveControl& control) const {
    const MoveFailure failure(name, path_, destination.path_);
    if (::renameat2(fd_, name.c_str(), destination.fd_, destinationName.c_str(), RENAME_NOREPLACE) == 0) {
        return MoveResult::Moved;
    }
    switch (const int error = errno) {
    case EEXIST:
        return MoveResult::DestinationExists;
    case EXDEV:
        return moveAcrossDevices(fd_, name, destination.fd_, destinationName, control, failure);
    case ENOENT:
        // Either the file or the folder it was to go into is gone.
        return isAnything(name) ? MoveResult::DestinationFolderGone : MoveResult::SourceVanished;
    case EACCES:
    case EPERM:
    case EROFS:
        throw failure.refused(error, fd_);
    case EINVAL:
    case ENOSYS:
        break; // the file system does not know the no-replace flag: link, then unlink
    default:
        throw failure.atDestination(error);
    }
    if (::linkat(fd_, name.c_str(), destination.fd_, destinationName.c_str(), 0) != 0) {
        if (errno == EEXIST) {
            return MoveResult::DestinationExists;
        }
        throw failure.refused(errno, fd_);
    }
    if (::unlinkat(fd_, name.c_str(), 0) != 0) {
        const int error = errno;
        ::unlinkat(destination.fd_, destinationName.c_str(), 0);
        throw failure.atSource(error);
    }
    return MoveResult::Moved;
}

bool Folder::isAnything(const std::string& name) const {
    struct stat status {};
    return ::fstatat(fd_, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

} // namespace foldwise

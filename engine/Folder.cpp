#include "engine/Folder.h"

#include "engine/CrossDeviceMove.h"
#include "engine/FileError.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace foldwise {

namespace {

int openFolder(int parentFd, const char* path, int extraFlags) {
    return ::openat(parentFd, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | extraFlags);
}

} // namespace

Folder::Folder(const fs::path& path) : fd_(openFolder(AT_FDCWD, path.c_str(), 0)), path_(path) {
    if (fd_ < 0) {
        throw FileError::fromErrno("Could not open the folder " + FileSystem::quoted(path), errno);
    }
}

Folder::Folder(const Folder& parent, const std::string& name) : Folder(parent, name, Links::Refuse) {}

Folder::Folder(const Folder& parent, const std::string& name, Links links)
    : fd_(openFolder(parent.fd_, name.c_str(), links == Links::Refuse ? O_NOFOLLOW : 0)), path_(parent.path_ / name) {
    if (fd_ < 0) {
        throw FileError::fromErrno("Could not open the folder " + FileSystem::quoted(path_), errno);
    }
}

Folder Folder::workingDirectory() {
    return Folder(AT_FDCWD, fs::path());
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
        result.push_back(Entry{std::string(name), isFolder});
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0) {
        throw FileError::fromErrno("Could not list the folder " + FileSystem::quoted(path_), error);
    }
    return result;
}

bool Folder::walk(WalkOptions options, const Visitor& visit) const {
    std::vector<Entry> listed;
    try {
        listed = entries(false);
    } catch (const FileError&) {
        return false;
    }
    for (const Entry& entry : listed) {
        visit(*this, entry.name);
        if (!entry.isRealFolder || (options.skipPackageContents && FileSystem::isPackageName(entry.name))) {
            continue;
        }
        std::optional<Folder> subFolder;
        try {
            subFolder.emplace(*this, entry.name); // refuses a link put in the folder's place meanwhile
        } catch (const FileError&) {
            continue; // vanished or cannot be opened: passed over
        }
        subFolder->walk(options, visit);
    }
    return true;
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
    throw FileError::fromErrno("Could not create the folder " + FileSystem::quoted(path_ / name), error);
}

MoveResult Folder::moveNoReplace(const std::string& name, const Folder& destination,
                                 const std::string& destinationRelative) const {
    const auto fail = [&](int error) {
        const fs::path target = (destination.path_ / destinationRelative).parent_path();
        return FileError::fromErrno("Could not move " + FileSystem::quoted(fs::path(name).filename()) + " to " +
                                        FileSystem::quoted(target),
                                    error);
    };
    if (::renameat2(fd_, name.c_str(), destination.fd_, destinationRelative.c_str(), RENAME_NOREPLACE) == 0) {
        return MoveResult::Moved;
    }
    switch (errno) {
    case EEXIST:
        return MoveResult::DestinationExists;
    case EXDEV:
        return moveAcrossDevices(fd_, name, destination.fd_, destinationRelative, fail);
    case EINVAL:
    case ENOSYS:
        break; // the file system does not know the no-replace flag: link, then unlink
    default:
        throw fail(errno);
    }
    if (::linkat(fd_, name.c_str(), destination.fd_, destinationRelative.c_str(), 0) != 0) {
        if (errno == EEXIST) {
            return MoveResult::DestinationExists;
        }
        throw fail(errno);
    }
    if (::unlinkat(fd_, name.c_str(), 0) != 0) {
        const int error = errno;
        ::unlinkat(destination.fd_, destinationRelative.c_str(), 0);
        throw fail(error);
    }
    return MoveResult::Moved;
}

} // namespace foldwise

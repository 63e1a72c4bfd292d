#include "engine/NoReplaceRename.h"

#include "engine/Descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace foldwise {

namespace {

// The file system does not know RENAME_NOREPLACE (FUSE, older NFS, …).
bool refusesTheFlag(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// The file system has no hard links: FAT and exFAT through FUSE answer EPERM, some network shares
// EOPNOTSUPP, and a few FUSE tools ENOENT (a missing file or folder gives ENOENT again below).
bool refusesLinks(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == EMLINK || error == ENOENT;
}

bool isSame(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `name` in `folderFd` still leads to the open file `fd`.
bool leadsTo(int folderFd, const char* name, int fd) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::fstatat(folderFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           isSame(held, named);
}

int linkThenUnlink(int fromFd, const char* from, int toFd, const char* to) {
    if (::linkat(fromFd, from, toFd, to, 0) != 0) {
        return errno;
    }
    if (::unlinkat(fromFd, from, 0) != 0) {
        const int error = errno;
        ::unlinkat(toFd, to, 0); // one name only: the file stays where it was
        return error;
    }
    return 0;
}

// For file systems with neither the flag nor links: claims `to` with an empty file of our own
// (O_EXCL never takes a name that is there), then renames `from` over that placeholder, once the
// name is seen to lead to it still. What remains is the moment between that look and the rename:
// should another program replace the placeholder just then, the rename replaces its file. No call
// closes that gap where the kernel offers no exclusive rename; the placeholder narrows it from the
// whole move to two calls, and only a program that renames over a hidden, just-created empty file
// can fall into it.
int renameOverPlaceholder(int fromFd, const char* from, int toFd, const char* to) {
    const Descriptor placeholder(::openat(toFd, to, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!placeholder.isOpen()) {
        return errno; // EEXIST when the name is taken
    }
    if (!leadsTo(toFd, to, placeholder.get())) {
        return EEXIST; // someone else's file took the name: it stays
    }
    if (::renameat(fromFd, from, toFd, to) == 0) {
        return 0;
    }
    const int error = errno;
    if (leadsTo(toFd, to, placeholder.get())) {
        ::unlinkat(toFd, to, 0);
    }
    return error;
}

} // namespace

int renameNoReplace(int fromFd, const char* from, int toFd, const char* to) {
    if (::renameat2(fromFd, from, toFd, to, RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (!refusesTheFlag(errno)) {
        return errno;
    }
    const int linked = linkThenUnlink(fromFd, from, toFd, to);
    if (!refusesLinks(linked)) {
        return linked;
    }
    return renameOverPlaceholder(fromFd, from, toFd, to);
}

} // namespace foldwise

#include "engine/TemporaryCopies.h"

#include "engine/Descriptor.h"
#include "engine/Folder.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace foldwise {

namespace {

constexpr std::string_view copyPrefix = ".foldwise-move-";
constexpr std::string_view copySuffix = ".part";

// A writer and a clean-up agree through a lock on the destination folder itself: the writer holds it
// shared from creating its copy until it has locked that copy, and the clean-up holds it exclusively
// while it sweeps. Without it a clean-up could find a copy in the instant between its creation and its
// lock, take it for abandoned and remove it under its writer. (A copy made with O_TMPFILE and linked
// in once locked would need no such lock, but FUSE, FAT and exFAT make no unnamed files, and FAT can
// make no link to publish one: the folder lock serves every file system alike.) Each side locks a
// descriptor of its own, since a lock belongs to an open descriptor and is dropped by any of its users.
Descriptor ownDescriptor(int folderFd) {
    return Descriptor(::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// Writers hold the folder for two calls at a time: a few short waits find it free. False when it
// stays busy; true also where folders cannot be locked, the copies' own locks being all there is then.
bool lockForSweep(int folder) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (::flock(folder, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return false;
}

// Removes the copy `name` when no writer holds its lock any more.
void removeIfAbandoned(int folderFd, const std::string& name) {
    const Descriptor copy(::openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    if (!copy.isOpen() || ::fstat(copy.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        ::flock(copy.get(), LOCK_EX | LOCK_NB) != 0) {
        return;
    }
    struct stat named {};
    if (::fstatat(folderFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == opened.st_dev &&
        named.st_ino == opened.st_ino) {
        ::unlinkat(folderFd, name.c_str(), 0);
    }
}

} // namespace

std::string newTemporaryCopyName() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    return std::string(copyPrefix) + std::to_string(random()) + std::string(copySuffix);
}

bool isTemporaryCopyName(std::string_view name) {
    if (!name.starts_with(copyPrefix) || !name.ends_with(copySuffix)) {
        return false;
    }
    const std::string_view number = name.substr(copyPrefix.size(), name.size() - copyPrefix.size() - copySuffix.size());
    return !number.empty() && std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

Descriptor createTemporaryCopy(int folderFd, const std::string& name) {
    const Descriptor folder = ownDescriptor(folderFd);
    if (folder.isOpen()) {
        ::flock(folder.get(), LOCK_SH); // waits out a sweep under way
    }
    Descriptor copy(::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (copy.isOpen()) {
        // Where the file system has no locks, the clean-up cannot take one either and leaves the copy alone.
        ::flock(copy.get(), LOCK_EX);
    }
    return copy;
}

void removeAbandonedCopies(int folderFd) noexcept {
    const Descriptor folder = ownDescriptor(folderFd);
    if (!folder.isOpen() || !lockForSweep(folder.get())) {
        return; // writers kept the folder busy: the copies wait for the next clean-up
    }
    try {
        int error = 0;
        for (const FolderEntry& entry : listEntries(folderFd, true, error)) {
            if (isTemporaryCopyName(entry.name)) {
                removeIfAbandoned(folderFd, entry.name);
            }
        }
    } catch (...) {
        // Out of memory: the copies wait for the next clean-up.
    }
}

} // namespace foldwise

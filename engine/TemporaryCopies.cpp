#include "engine/TemporaryCopies.h"

#include "engine/Descriptor.h"
#include "engine/Folder.h"

#include <algorithm>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <vector>

namespace foldwise {

namespace {

constexpr std::string_view copyPrefix = ".foldwise-move-";
constexpr std::string_view copySuffix = ".part";

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

void removeAbandonedCopies(int folderFd) noexcept {
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

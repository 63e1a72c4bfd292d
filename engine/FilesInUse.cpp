#include "engine/FilesInUse.h"

#include "engine/Descriptor.h"
#include "engine/FileSystem.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace foldwise {
namespace {

// The endings programs give a file until it is complete, compared without regard to ASCII case.
constexpr std::array<std::string_view, 7> kUnfinishedExtensions = {
    "part",       // Firefox and other Gecko browsers, wget2, KDE's KIO: a download in progress
    "crdownload", // Chrome, Chromium, Edge, Brave, Vivaldi: a download in progress
    "download",   // Safari: a download in progress (a bundle there, a plain file when copied here)
    "partial",    // Internet Explorer and the old Edge: a download in progress
    "tmp",        // Office, many installers and editors: a file being saved or unpacked
    "!qB",        // qBittorrent: a torrent's file not yet complete
    "opdownload", // Opera (Presto): a download in progress
};

// Names that begin with these are lock files, there only while a document is open.
constexpr std::array<std::string_view, 1> kLockPrefixes = {
    "~$", // Microsoft Office: "~$report.docx" records who has "report.docx" open
};

// LibreOffice and OpenOffice lock an open "report.odt" as ".~lock.report.odt#". Being hidden, such a name
// is never a sort's to move; it is here so that the table says what it knows.
constexpr std::string_view kHiddenLockPrefix = ".~lock.";
constexpr char kHiddenLockEnd = '#';

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t index = 0; index < a.size(); ++index) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[index]) != lower(b[index])) {
            return false;
        }
    }
    return true;
}

} // namespace

bool FilesInUse::hasUnfinishedName(std::string_view name) {
    const std::string_view extension = FileSystem::nameExtension(name);
    for (const std::string_view unfinished : kUnfinishedExtensions) {
        if (equalsIgnoringAsciiCase(extension, unfinished)) {
            return true;
        }
    }
    for (const std::string_view prefix : kLockPrefixes) {
        if (name.starts_with(prefix)) {
            return true;
        }
    }
    return name.size() > kHiddenLockPrefix.size() && name.starts_with(kHiddenLockPrefix) &&
           name.back() == kHiddenLockEnd;
}

// A read lease is granted only on a file that no one (this process included) has open for writing, which is
// exactly the question, and it costs one open, two fcntl calls and a close. Closing the descriptor gives the
// lease up. Whoever opens the file for writing while the lease is held has to wait for that close, and the
// kernel tells the holder with a signal: SIGIO, which would end this process, so it is set to SIGURG, which
// is ignored unless someone asks for it.
//
// O_NONBLOCK keeps the open from waiting for another program's lease to be broken; O_NOATIME leaves the file
// untouched and fails (EPERM) on a file of another user, where no lease would be granted either (EACCES
// without CAP_LEASE): such a file cannot be judged, and counts as not in use, as does one on a file system
// that has no leases (EINVAL) or that no longer exists.
bool FilesInUse::isOpenForWriting(int folderFd, const std::string& name) {
    const int file =
        ::openat(folderFd, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_NOATIME | O_CLOEXEC);
    if (file < 0) {
        return false;
    }
    ::fcntl(file, F_SETSIG, SIGURG);
    const bool isOpen = ::fcntl(file, F_SETLEASE, F_RDLCK) != 0 && errno == EAGAIN;
    ::close(file);
    return isOpen;
}

FilesOpenForWriting FilesOpenForWriting::now() {
    FilesOpenForWriting writers;
    const std::unique_ptr<DIR, int (*)(DIR*)> processes(::opendir("/proc"), ::closedir);
    if (!processes) {
        return writers;
    }
    while (const dirent* process = ::readdir(processes.get())) {
        const std::string_view pid(process->d_name);
        if (pid.empty() || !std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            continue;
        }
        Descriptor descriptors(
            ::openat(::dirfd(processes.get()), (std::string(pid) + "/fd").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        DIR* listing = descriptors.isOpen() ? ::fdopendir(descriptors.get()) : nullptr;
        if (listing == nullptr) {
            continue; // another user's process, or one that has ended
        }
        descriptors.release(); // closed with the listing
        const std::unique_ptr<DIR, int (*)(DIR*)> fds(listing, ::closedir);
        while (const dirent* fd = ::readdir(listing)) {
            struct stat link {};
            struct stat file {};
            if (fd->d_name[0] != '.' && ::fstatat(::dirfd(listing), fd->d_name, &link, AT_SYMLINK_NOFOLLOW) == 0 &&
                (link.st_mode & S_IWUSR) != 0 && ::fstatat(::dirfd(listing), fd->d_name, &file, 0) == 0 &&
                S_ISREG(file.st_mode)) {
                writers.files_.emplace(file.st_dev, file.st_ino);
            }
        }
    }
    return writers;
}

} // namespace foldwise

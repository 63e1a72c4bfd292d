#pragma once

#include <chrono>
#include <set>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>

namespace foldwise {

// Files that a program is still writing or holds as a lock: a sort leaves them where they are, and the next
// sort, which looks at them afresh, moves them once they are finished.
class FilesInUse {
public:
    // Whether the name marks an unfinished download or a program's lock file: ".part", ".crdownload",
    // ".download", ".partial", ".tmp", ".!qB", ".opdownload" (in any case), "~$…" and ".~lock.…#".
    static bool hasUnfinishedName(std::string_view name);

    // Whether some program has the regular file `name` of the open folder `folderFd` open for writing.
    // Never blocks and needs no privilege; a file the check cannot judge (another user's, or on a file
    // system without leases) counts as not in use. Call it for regular files only (never FIFOs or devices):
    // it opens the entry, though never through a link.
    static bool isOpenForWriting(int folderFd, const std::string& name);
};

// The files that some process has open for writing, as /proc shows them at one moment: each descriptor's
// link in /proc/PID/fd carries the write bit when it was opened for writing. One look at every descriptor
// costs a sort of many files far less than opening each of them. An unprivileged user sees the descriptors
// of its own processes alone, which is what writes its downloads; another user's files it could not judge
// with a lease either.
class FilesOpenForWriting {
public:
    static FilesOpenForWriting now();

    bool contains(dev_t device, ino_t inode) const { return files_.contains({device, inode}); }
    // How long ago the look was taken.
    std::chrono::steady_clock::duration age() const { return std::chrono::steady_clock::now() - taken_; }

private:
    std::set<std::pair<dev_t, ino_t>> files_;
    std::chrono::steady_clock::time_point taken_ = std::chrono::steady_clock::now();
};

} // namespace foldwise

#pragma once

#include <string>
#include <string_view>

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

    // Either of the two, the name first: a file whose name tells is not opened.
    static bool isInUse(int folderFd, const std::string& name) {
        return hasUnfinishedName(name) || isOpenForWriting(folderFd, name);
    }
};

} // namespace foldwise

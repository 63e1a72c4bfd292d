#include "engine/NoReplaceRename.h"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace foldwise {

int renameNoReplace(int fromFd, const char* from, int toFd, const char* to) {
    if (::renameat2(fromFd, from, toFd, to, RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
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

} // namespace foldwise

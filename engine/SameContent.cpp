#include "engine/SameContent.h"

#include "engine/Descriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace foldwise {

namespace {

Descriptor openRegular(int folderFd, const std::string& name, struct stat& status) {
    Descriptor fd(::openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.isOpen() || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return Descriptor();
    }
    return fd;
}

// Reads up to `size` bytes, short only at the end of the file; -1 on failure.
ssize_t readFully(int fd, char* buffer, size_t size) {
    size_t got = 0;
    while (got < size) {
        const ssize_t read = ::read(fd, buffer + got, size - got);
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read < 0) {
            return -1;
        }
        if (read == 0) {
            break;
        }
        got += static_cast<size_t>(read);
    }
    return static_cast<ssize_t>(got);
}

} // namespace

bool sameContent(int aFd, const std::string& a, int bFd, const std::string& b) {
    struct stat aStatus {};
    struct stat bStatus {};
    const Descriptor first = openRegular(aFd, a, aStatus);
    const Descriptor second = openRegular(bFd, b, bStatus);
    if (!first.isOpen() || !second.isOpen() || aStatus.st_size != bStatus.st_size) {
        return false;
    }
    // Buffers no larger than the files, and not cleared: many small files are compared where a sort
    // finds many names taken.
    constexpr size_t kChunk = size_t{1} << 20;
    const size_t chunk = std::min(kChunk, static_cast<size_t>(aStatus.st_size) + 1);
    const auto aBuffer = std::make_unique_for_overwrite<char[]>(chunk);
    const auto bBuffer = std::make_unique_for_overwrite<char[]>(chunk);
    for (;;) {
        const ssize_t aRead = readFully(first.get(), aBuffer.get(), chunk);
        const ssize_t bRead = readFully(second.get(), bBuffer.get(), chunk);
        if (aRead < 0 || aRead != bRead || std::memcmp(aBuffer.get(), bBuffer.get(), static_cast<size_t>(aRead)) != 0) {
            return false;
        }
        if (aRead == 0) {
            return true;
        }
    }
}

} // namespace foldwise

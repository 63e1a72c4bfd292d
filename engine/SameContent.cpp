#include "engine/SameContent.h"

#include "engine/Descriptor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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
    constexpr size_t kChunk = size_t{1} << 20;
    std::vector<char> aBuffer(kChunk);
    std::vector<char> bBuffer(kChunk);
    for (;;) {
        const ssize_t aRead = readFully(first.get(), aBuffer.data(), kChunk);
        const ssize_t bRead = readFully(second.get(), bBuffer.data(), kChunk);
        if (aRead < 0 || aRead != bRead ||
            std::memcmp(aBuffer.data(), bBuffer.data(), static_cast<size_t>(aRead)) != 0) {
            return false;
        }
        if (aRead == 0) {
            return true;
        }
    }
}

} // namespace foldwise

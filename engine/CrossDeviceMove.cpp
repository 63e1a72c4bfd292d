#include "engine/CrossDeviceMove.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace foldwise {

namespace {

std::string temporaryNameBeside(const std::string& relative) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    const std::string folder = std::filesystem::path(relative).parent_path().string();
    const std::string name = ".foldwise-move-" + std::to_string(random()) + ".part";
    return folder.empty() ? name : folder + "/" + name;
}

// Removes the temporary copy unless it was published.
class TemporaryCopy {
public:
    TemporaryCopy(int folderFd, std::string relative) : folderFd_(folderFd), relative_(std::move(relative)) {}
    ~TemporaryCopy() {
        if (!published_) {
            ::unlinkat(folderFd_, relative_.c_str(), 0);
        }
    }
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    const char* name() const { return relative_.c_str(); }
    void markPublished() { published_ = true; }

private:
    int folderFd_;
    std::string relative_;
    bool published_ = false;
};

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Returns 0 or the errno of the failure.
int copyContent(int from, int to) {
    for (;;) {
        const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (copied == 0) {
            return 0;
        }
        if (copied > 0) {
            continue;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
            return errno;
        }
        break; // not supported between these file systems: plain reads and writes
    }
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got == 0) {
            return 0;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t put = ::write(to, buffer.data() + written, static_cast<size_t>(got - written));
            if (put < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            written += put;
        }
    }
}

// Returns 0 or the errno of the failure.
int copyRegularFile(int fromFd, const std::string& name, const struct stat& status, int toFd, const char* copyName) {
    const Descriptor source(::openat(fromFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (source.get() < 0) {
        return errno;
    }
    const Descriptor copy(::openat(toFd, copyName, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (copy.get() < 0) {
        return errno;
    }
    if (const int error = copyContent(source.get(), copy.get()); error != 0) {
        return error;
    }
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    if (::fchmod(copy.get(), status.st_mode & 07777) != 0 || ::futimens(copy.get(), times) != 0 ||
        ::fsync(copy.get()) != 0) {
        return errno;
    }
    return 0;
}

// Returns 0 or the errno of the failure.
int copyLink(int fromFd, const std::string& name, const struct stat& status, int toFd, const char* copyName) {
    std::vector<char> target(static_cast<size_t>(status.st_size) + 1);
    const ssize_t length = ::readlinkat(fromFd, name.c_str(), target.data(), target.size());
    if (length < 0) {
        return errno;
    }
    target[static_cast<size_t>(length)] = '\0';
    if (::symlinkat(target.data(), toFd, copyName) != 0) {
        return errno;
    }
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    ::utimensat(toFd, copyName, times, AT_SYMLINK_NOFOLLOW); // best effort: not every file system keeps link times
    return 0;
}

// Puts the copy in place without replacing anything. Returns false when the destination is taken.
bool publish(int toFd, const TemporaryCopy& copy, const std::string& toRelative,
             const std::function<FileError(int)>& failure) {
    if (::renameat2(toFd, copy.name(), toFd, toRelative.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        throw failure(errno);
    }
    if (::linkat(toFd, copy.name(), toFd, toRelative.c_str(), 0) != 0) {
        if (errno == EEXIST) {
            return false;
        }
        throw failure(errno);
    }
    ::unlinkat(toFd, copy.name(), 0);
    return true;
}

} // namespace

MoveResult moveAcrossDevices(int fromFd, const std::string& name, int toFd, const std::string& toRelative,
                             const std::function<FileError(int)>& failure) {
    struct stat status {};
    if (::fstatat(fromFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        throw failure(errno);
    }
    if (!S_ISREG(status.st_mode) && !S_ISLNK(status.st_mode)) {
        throw failure(EXDEV); // devices, pipes and sockets cannot be copied faithfully
    }
    struct stat taken {};
    if (::fstatat(toFd, toRelative.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) {
        return MoveResult::DestinationExists;
    }

    TemporaryCopy copy(toFd, temporaryNameBeside(toRelative));
    const int error = S_ISLNK(status.st_mode) ? copyLink(fromFd, name, status, toFd, copy.name())
                                              : copyRegularFile(fromFd, name, status, toFd, copy.name());
    if (error != 0) {
        throw failure(error);
    }
    if (!publish(toFd, copy, toRelative, failure)) {
        return MoveResult::DestinationExists;
    }
    copy.markPublished();
    if (::unlinkat(fromFd, name.c_str(), 0) != 0) {
        // Keep one copy only: the source stays where it was.
        const int unlinkError = errno;
        ::unlinkat(toFd, toRelative.c_str(), 0);
        throw failure(unlinkError);
    }
    return MoveResult::Moved;
}

} // namespace foldwise

#include "engine/CrossDeviceMove.h"

#include "engine/Descriptor.h"
#include "engine/FileAttributes.h"
#include "engine/FileError.h"
#include "engine/NoReplaceRename.h"
#include "engine/TemporaryCopies.h"
#include "engine/Volume.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

namespace foldwise {

namespace {

// Small enough that a stop is seen within a fraction of a second even on a slow disk.
constexpr size_t chunkSize = size_t{4} << 20;

constexpr std::string_view changedReason = "it changed while it was being copied; it stays where it was";

// One move's arguments, handed down whole.
struct Move {
    int fromFd;
    const std::string& name;
    int toFd;
    const std::string& toName;
    const MoveControl& control;
    const MoveFailure& failure;
};

std::string reasonFor(int error) {
    return std::generic_category().message(error);
}

// A descriptor of the folder itself, usable even when `folderFd` is AT_FDCWD.
Descriptor reopenFolder(int folderFd) {
    return Descriptor(::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

std::filesystem::path pathOf(int folderFd) {
    const std::string link =
        folderFd == AT_FDCWD ? std::string("/proc/self/cwd") : "/proc/self/fd/" + std::to_string(folderFd);
    std::error_code ignored;
    return std::filesystem::read_symlink(link, ignored);
}

bool sameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool changedSince(const struct stat& before, const struct stat& now) {
    return now.st_size != before.st_size || !sameTime(now.st_mtim, before.st_mtim) ||
           !sameTime(now.st_ctim, before.st_ctim);
}

// The file's status as its file system has it now. A FUSE file system's attributes are cached in the
// kernel for a while, so a plain fstat may show a time from before the last change the file system
// made itself (keeping a copy's times, a rename that touched ctime), and two looks that should agree
// would differ; AT_STATX_FORCE_SYNC asks the file system itself. Local file systems answer from the
// inode either way.
int freshStatus(int fd, struct stat& status) {
    struct statx now {};
    if (::statx(fd, "", AT_EMPTY_PATH | AT_STATX_FORCE_SYNC, STATX_BASIC_STATS, &now) != 0) {
        return errno == ENOSYS ? ::fstat(fd, &status) : -1;
    }
    const auto timeOf = [](const struct statx_timestamp& time) {
        return timespec{static_cast<time_t>(time.tv_sec), static_cast<long>(time.tv_nsec)};
    };
    status = {};
    status.st_dev = makedev(now.stx_dev_major, now.stx_dev_minor);
    status.st_ino = now.stx_ino;
    status.st_mode = now.stx_mode;
    status.st_nlink = now.stx_nlink;
    status.st_uid = now.stx_uid;
    status.st_gid = now.stx_gid;
    status.st_rdev = makedev(now.stx_rdev_major, now.stx_rdev_minor);
    status.st_size = static_cast<off_t>(now.stx_size);
    status.st_blksize = static_cast<blksize_t>(now.stx_blksize);
    status.st_blocks = static_cast<blkcnt_t>(now.stx_blocks);
    status.st_atim = timeOf(now.stx_atime);
    status.st_mtim = timeOf(now.stx_mtime);
    status.st_ctim = timeOf(now.stx_ctime);
    return 0;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool isTaken(const Move& move) {
    struct stat status {};
    return ::fstatat(move.toFd, move.toName.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

FileError notMovable(const Move& move) {
    return move.failure.atSource("it is neither a file nor a link, so it cannot be copied to another file system");
}

// A hidden name beside the destination, removed again unless what it names was published.
class TemporaryName {
public:
    explicit TemporaryName(int folderFd) : folderFd_(folderFd), name_(newTemporaryCopyName()) {}
    ~TemporaryName() {
        if (exists_) {
            ::unlinkat(folderFd_, name_.c_str(), 0);
        }
    }
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;

    const char* get() const { return name_.c_str(); }
    void created() { exists_ = true; }
    void published() { exists_ = false; }

private:
    int folderFd_;
    std::string name_;
    bool exists_ = false;
};

// The copy being written, locked so that removeAbandonedCopies can tell it from one whose writer is gone.
class TemporaryCopy {
public:
    explicit TemporaryCopy(const Move& move) : name_(move.toFd) {
        fd_ = createTemporaryCopy(move.toFd, name_.get());
        if (!fd_.isOpen()) {
            if (errno == ENOENT) {
                return; // the folder was removed
            }
            throw move.failure.atDestination(errno);
        }
        name_.created();
        struct stat status {};
        if (::fstat(fd_.get(), &status) != 0) {
            throw move.failure.atDestination(errno);
        }
        if (status.st_nlink == 0) { // removed by hand meanwhile
            throw move.failure.atDestination("its temporary copy was removed while it was being written");
        }
    }

    bool folderGone() const { return !fd_.isOpen(); }
    int fd() const { return fd_.get(); }
    TemporaryName& name() { return name_; }

private:
    TemporaryName name_;
    Descriptor fd_;
};

// The file being moved, opened once so that every later look is at the same file.
struct Source {
    Descriptor fd;
    struct stat status {};
};

// Empty when the file is gone.
std::optional<Source> openSource(const Move& move) {
    // O_NONBLOCK: should a FIFO take the file's place, opening it must not wait for a writer.
    Source source{Descriptor(::openat(move.fromFd, move.name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC))};
    if (!source.fd.isOpen()) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        throw move.failure.atSource(errno);
    }
    if (freshStatus(source.fd.get(), source.status) != 0) {
        throw move.failure.atSource(errno);
    }
    if (!S_ISREG(source.status.st_mode)) {
        throw notMovable(move);
    }
    return source;
}

// Copies byte ranges in the kernel where the two file systems allow it, else through a buffer.
class RangeCopier {
public:
    RangeCopier(int from, int to, const MoveFailure& failure) : from_(from), to_(to), failure_(failure) {}

    // Copies up to `length` bytes at `offset`; returns how many, 0 at the end of the file.
    size_t copy(off_t offset, size_t length) {
        while (inKernel_) {
            loff_t in = offset;
            loff_t out = offset;
            const ssize_t copied = ::copy_file_range(from_, &in, to_, &out, length, 0);
            if (copied >= 0) {
                return static_cast<size_t>(copied);
            }
            if (errno == EINTR) {
                continue;
            }
            if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
                const bool full = errno == ENOSPC || errno == EDQUOT || errno == EFBIG;
                throw full ? failure_.atDestination(errno) : failure_.atSource(errno);
            }
            inKernel_ = false;
        }
        return copyThroughBuffer(offset, length);
    }

private:
    size_t copyThroughBuffer(off_t offset, size_t length) {
        buffer_.resize(std::max(buffer_.size(), length));
        ssize_t got = 0;
        do {
            got = ::pread(from_, buffer_.data(), length, offset);
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            throw failure_.atSource(errno);
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t put =
                ::pwrite(to_, buffer_.data() + written, static_cast<size_t>(got - written), offset + written);
            if (put < 0 && errno != EINTR) {
                throw failure_.atDestination(errno);
            }
            written += std::max<ssize_t>(put, 0);
        }
        return static_cast<size_t>(got);
    }

    int from_;
    int to_;
    const MoveFailure& failure_;
    bool inKernel_ = true;
    std::vector<char> buffer_;
};

struct Extent {
    off_t start;
    off_t end;
};

// The next run of data at or after `offset`, cut at `size`; empty at `size` when only holes remain.
Extent nextData(int fd, off_t offset, off_t size, const MoveFailure& failure) {
    const off_t start = ::lseek(fd, offset, SEEK_DATA);
    if (start < 0) {
        if (errno == ENXIO) {
            return {size, size};
        }
        if (errno == EINVAL || errno == EOPNOTSUPP) {
            return {offset, size}; // the file system cannot tell holes: all of it is data
        }
        throw failure.atSource(errno);
    }
    if (start >= size) {
        return {size, size};
    }
    const off_t end = ::lseek(fd, start, SEEK_HOLE);
    if (end < 0) {
        throw failure.atSource(errno);
    }
    return {start, std::min(end, size)};
}

// Reports progress; returns whether to go on.
bool reportCopied(const MoveControl& control, off_t done, off_t total) {
    if (control.copied) {
        control.copied(static_cast<std::uint64_t>(done), static_cast<std::uint64_t>(total));
    }
    return !control.stop.stop_requested();
}

// Holes at the end leave the copy short of the file's length. fusefat cannot truncate, but writing
// the last byte lengthens a file as well.
void giveLength(int copy, off_t size, const MoveFailure& failure) {
    struct stat status {};
    if ((::fstat(copy, &status) == 0 && status.st_size == size) || ::ftruncate(copy, size) == 0) {
        return;
    }
    const int error = errno;
    const char zero = 0;
    if (size == 0 || ::pwrite(copy, &zero, 1, size - 1) != 1) {
        throw failure.atDestination(error);
    }
}

// Copies the first `size` bytes, data extents only, so that holes stay holes. Returns false when stopped.
bool copyData(const Move& move, int from, int to, off_t size) {
    RangeCopier copier(from, to, move.failure);
    for (off_t offset = 0; offset < size;) {
        const Extent data = nextData(from, offset, size, move.failure);
        for (off_t at = data.start; at < data.end;) {
            const size_t copied = copier.copy(at, std::min(chunkSize, static_cast<size_t>(data.end - at)));
            if (copied == 0) {
                throw move.failure.atDestination(changedReason); // it was cut short meanwhile
            }
            at += static_cast<off_t>(copied);
            if (!reportCopied(move.control, at, size)) {
                return false;
            }
        }
        offset = data.end;
    }
    giveLength(to, size, move.failure);
    return true;
}

// Renames the temporary name to the destination without replacing anything. Returns Moved, or
// DestinationExists or NameRefused with the temporary name left to be removed.
MoveResult publish(const Move& move, TemporaryName& temporary) {
    const int error = renameNoReplace(move.toFd, temporary.get(), move.toFd, move.toName.c_str());
    if (error == 0) {
        temporary.published();
        return MoveResult::Moved;
    }
    if (error == EEXIST) {
        return MoveResult::DestinationExists;
    }
    if (Volume::isNameRefusal(error, move.toFd, move.toName)) {
        return MoveResult::NameRefused;
    }
    throw move.failure.atDestination(error);
}

// Lets the caller note what is about to be published; should it throw, the copy goes and the source stays.
void announce(const Move& move, int folderFd, const char* temporary, int copyFd) {
    if (!move.control.beforePublish) {
        return;
    }
    struct stat status {};
    const int looked =
        copyFd >= 0 ? freshStatus(copyFd, status) : ::fstatat(folderFd, temporary, &status, AT_SYMLINK_NOFOLLOW);
    if (looked != 0) {
        throw move.failure.atDestination(errno);
    }
    move.control.beforePublish(status);
}

// The copy is published but the source has to stay: removes the copy and throws `why`, or, when the
// copy cannot be removed, an error saying the file is now in both places.
[[noreturn]] void withdraw(const Move& move, const FileError& why) {
    if (::unlinkat(move.toFd, move.toName.c_str(), 0) == 0) {
        throw why;
    }
    const int error = errno;
    throw FileError(why.localizedDescription() + "; its copy could not be removed either (" + reasonFor(error) +
                    "), so it is now both in " + FileSystem::quoted(pathOf(move.fromFd) / move.name) + " and in " +
                    FileSystem::quoted(pathOf(move.toFd) / move.toName));
}

void flushFolder(const Move& move) {
    const Descriptor folder = reopenFolder(move.toFd);
    if (!folder.isOpen() || (::fsync(folder.get()) != 0 && errno != EINVAL)) {
        withdraw(move, move.failure.atDestination(errno));
    }
}

// The name must still lead to the very file that was copied, unchanged.
void checkUnchanged(const Move& move, const Source& source) {
    struct stat now {};
    if (freshStatus(source.fd.get(), now) != 0) {
        withdraw(move, move.failure.atSource(errno));
    }
    if (changedSince(source.status, now)) {
        withdraw(move, move.failure.atDestination(changedReason));
    }
    struct stat named {};
    if (::fstatat(move.fromFd, move.name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 || !sameFile(named, now)) {
        withdraw(move, move.failure.atSource("it was renamed or replaced while it was being copied"));
    }
}

MoveResult removeSource(const Move& move) {
    if (::unlinkat(move.fromFd, move.name.c_str(), 0) != 0) {
        withdraw(move, move.failure.atSource(errno));
    }
    return MoveResult::Moved;
}

// Copies the data; Cancelled when stopped, TooLarge when the destination refuses the size after all.
MoveResult copyAll(const Move& move, const Source& source, const TemporaryCopy& copy) {
    try {
        return copyData(move, source.fd.get(), copy.fd(), source.status.st_size) ? MoveResult::Moved
                                                                                 : MoveResult::Cancelled;
    } catch (const FileError& error) {
        if (error.errorNumber() == EFBIG) {
            return MoveResult::TooLarge;
        }
        throw;
    }
}

MoveResult moveFile(const Move& move) {
    const std::optional<Source> source = openSource(move);
    if (!source) {
        return MoveResult::SourceVanished;
    }
    if (isTaken(move)) {
        return MoveResult::DestinationExists;
    }
    // Known before a byte is copied: 4 GiB onto FAT would otherwise be copied first and refused at the end.
    if (Volume::of(move.toFd).refusesSize(static_cast<std::uint64_t>(source->status.st_size))) {
        return MoveResult::TooLarge;
    }
    TemporaryCopy copy(move);
    if (copy.folderGone()) {
        return MoveResult::DestinationFolderGone;
    }
    if (const MoveResult copied = copyAll(move, *source, copy); copied != MoveResult::Moved) {
        return copied;
    }
    keepAttributes(source->fd.get(), copy.fd(), source->status, move.failure);
    if (::fsync(copy.fd()) != 0) {
        throw move.failure.atDestination(errno);
    }
    announce(move, move.toFd, copy.name().get(), copy.fd());
    if (const MoveResult published = publish(move, copy.name()); published != MoveResult::Moved) {
        return published;
    }
    flushFolder(move);
    checkUnchanged(move, *source);
    return removeSource(move);
}

// Empty when the link is gone.
std::optional<std::string> readLink(const Move& move, const struct stat& status) {
    std::string target(std::max<size_t>(static_cast<size_t>(status.st_size) + 1, 256), '\0');
    for (;;) {
        const ssize_t length = ::readlinkat(move.fromFd, move.name.c_str(), target.data(), target.size());
        if (length < 0) {
            if (errno == ENOENT) {
                return std::nullopt;
            }
            throw move.failure.atSource(errno);
        }
        if (static_cast<size_t>(length) < target.size()) {
            target.resize(static_cast<size_t>(length));
            return target;
        }
        target.resize(target.size() * 2); // it grew meanwhile
    }
}

MoveResult moveLink(const Move& move, const struct stat& status) {
    if (isTaken(move)) {
        return MoveResult::DestinationExists;
    }
    const std::optional<std::string> target = readLink(move, status);
    if (!target) {
        return MoveResult::SourceVanished;
    }
    TemporaryName link(move.toFd);
    if (::symlinkat(target->c_str(), move.toFd, link.get()) != 0) {
        if (errno == ENOENT) {
            return MoveResult::DestinationFolderGone;
        }
        throw move.failure.atDestination(errno);
    }
    link.created();
    // Best effort, as not every file system keeps a link's owner and times.
    ::fchownat(move.toFd, link.get(), status.st_uid, status.st_gid, AT_SYMLINK_NOFOLLOW);
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    ::utimensat(move.toFd, link.get(), times, AT_SYMLINK_NOFOLLOW);
    announce(move, move.toFd, link.get(), -1);
    if (const MoveResult published = publish(move, link); published != MoveResult::Moved) {
        return published;
    }
    flushFolder(move);
    return removeSource(move);
}

} // namespace

MoveResult moveAcrossDevices(int fromFd, const std::string& name, int toFd, const std::string& toName,
                             const MoveControl& control, const MoveFailure& failure) {
    const Move move{fromFd, name, toFd, toName, control, failure};
    struct stat status {};
    if (::fstatat(fromFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) {
            return MoveResult::SourceVanished;
        }
        throw failure.atSource(errno);
    }
    if (S_ISLNK(status.st_mode)) {
        return moveLink(move, status);
    }
    if (!S_ISREG(status.st_mode)) {
        throw notMovable(move);
    }
    return moveFile(move);
}

} // namespace foldwise

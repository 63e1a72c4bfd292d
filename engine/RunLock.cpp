#include "engine/RunLock.h"

#include "engine/FileError.h"
#include "engine/FileSystem.h"
#include "engine/History.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace foldwise {
namespace {

using namespace std::chrono_literals;

// How often a waiting run tries the lock again, and how long it waits for the holder to say what it is
// before it tells its caller that it waits with no name for the other run.
constexpr auto kRetryEvery = 100ms;
constexpr auto kNamelessAfter = 1s;

std::uint64_t fnv1a64(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 0x100000001b3u;
    }
    return hash;
}

Descriptor openLockFile(const fs::path& file, int flags) {
    const int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | flags, 0600);
    if (fd < 0 && !(errno == ENOENT && (flags & O_CREAT) == 0)) {
        throw FileError::fromErrno("Could not open the lock file " + FileSystem::quoted(file), errno);
    }
    return Descriptor(fd);
}

// What the run that holds the lock wrote into it; empty until it has.
std::string holderOf(int fd) {
    char text[1024];
    const ssize_t length = ::pread(fd, text, sizeof text, 0);
    return length > 0 ? std::string(text, static_cast<std::size_t>(length)) : std::string();
}

// Written over the last holder's words and then cut to length: ext4 flushes a file emptied by a truncation
// to nothing when it is closed, which would cost every run some milliseconds.
void describe(int fd, const std::string& description) {
    if (::pwrite(fd, description.data(), description.size(), 0) == static_cast<ssize_t>(description.size())) {
        [[maybe_unused]] const int cut = ::ftruncate(fd, static_cast<off_t>(description.size()));
    }
}

// Takes the lock of `fd`, waiting for its holder; false when the stop came first. `told` says whether the
// caller has been told of a wait already: it is told once per run.
bool lockOne(int fd, const fs::path& file, const RunOptions& options, bool& told) {
    const auto started = std::chrono::steady_clock::now();
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            throw FileError::fromErrno("Could not lock " + FileSystem::quoted(file), errno);
        }
        if (!told) {
            const std::string holder = holderOf(fd);
            if (!holder.empty() || std::chrono::steady_clock::now() - started >= kNamelessAfter) {
                told = true;
                if (options.waiting) {
                    options.waiting(holder.empty() ? std::string("another run on the same folders") : holder);
                }
            }
        }
        if (options.stop.stop_requested()) {
            return false;
        }
        std::this_thread::sleep_for(kRetryEvery);
    }
    return true;
}

} // namespace

std::string RunLock::sortDescription(const fs::path& input, const fs::path& output) {
    return "the sort from “" + FileSystem::displayFolderName(input) + "” into “" +
           FileSystem::displayFolderName(output) + "”";
}

std::string RunLock::undoDescription(const fs::path& input, const fs::path& output) {
    return "the undo of " + sortDescription(input, output);
}

fs::path RunLock::locksFolder(const fs::path& historyFile) {
    return (historyFile.empty() ? History::defaultFile() : historyFile).parent_path() / "locks";
}

std::string RunLock::lockName(const fs::path& folder) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx",
                  static_cast<unsigned long long>(fnv1a64(History::recordedPath(folder).native())));
    return hex;
}

std::optional<RunLock> RunLock::take(const fs::path& input, const fs::path& output, const std::string& description,
                                     const RunOptions& options) {
    const fs::path folder = locksFolder(options.historyFile);
    History::makePrivateFolder(folder);
    // Always in the same order, so that two runs that each wait for the other's second lock cannot be.
    std::vector<std::string> names{lockName(input), lockName(output)};
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());

    RunLock lock;
    bool told = false;
    for (const std::string& name : names) {
        const fs::path file = folder / (name + ".lock");
        Descriptor& held = lock.held_.emplace_back(openLockFile(file, O_CREAT));
        if (!lockOne(held.get(), file, options, told)) {
            return std::nullopt;
        }
        describe(held.get(), description);
    }
    return lock;
}

std::optional<RunLock> RunLock::forRun(const fs::path& input, const fs::path& output, const std::string& description,
                                       const RunOptions& options, RunOutcome& outcome) {
    try {
        std::optional<RunLock> lock = take(input, output, description, options);
        outcome.cancelled = !lock;
        return lock;
    } catch (const FileError& error) {
        outcome.failure = error;
        return std::nullopt;
    }
}

// Runs on one input folder never overlap (they hold its run lock), so no two of them test at once: an
// exclusive lock that is refused can only be refused for a watch's shared one.
bool RunLock::isWatched(const fs::path& folder, const fs::path& historyFile) {
    try {
        const Descriptor file = openLockFile(locksFolder(historyFile) / (lockName(folder) + ".watch"), 0);
        if (!file.isOpen() || ::flock(file.get(), LOCK_EX | LOCK_NB) == 0) {
            return false;
        }
        return errno == EWOULDBLOCK;
    } catch (const FileError&) {
        return false;
    }
}

// Where the registration cannot be made, the watch runs unregistered: an undo then cannot tell that the
// files it brings back stay, though they do.
WatchRegistration::WatchRegistration(const fs::path& folder, const fs::path& historyFile) {
    try {
        const fs::path locks = RunLock::locksFolder(historyFile);
        History::makePrivateFolder(locks);
        file_ = openLockFile(locks / (RunLock::lockName(folder) + ".watch"), O_CREAT);
        while (::flock(file_.get(), LOCK_SH) != 0 && errno == EINTR) {
        }
    } catch (const FileError&) {
        file_ = Descriptor();
    }
}

} // namespace foldwise

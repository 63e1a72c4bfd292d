#include "cli/ArrivingFiles.h"

#include "engine/FileSystem.h"
#include "engine/Lowercase.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace foldwise {
namespace {

// Whether a program has the file open for writing. A read lease is granted only on a file that no one has
// open for writing, which is exactly the question; where leases are refused (a file of another user, a file
// system without them) the settle time alone decides.
bool isOpenForWriting(int folder, const std::string& name) {
    const int file = ::openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (file < 0) {
        return false;
    }
    bool isOpen = false;
    if (::fcntl(file, F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(file, F_SETLEASE, F_UNLCK);
    } else {
        isOpen = errno == EAGAIN;
    }
    ::close(file);
    return isOpen;
}

// How long ago the file's status last changed by the wall clock, from its ctime: a write or a rename made
// before the watch began, or not yet reported.
std::chrono::nanoseconds changedAgo(const struct stat& status) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return std::chrono::seconds(now.tv_sec - status.st_ctim.tv_sec) +
           std::chrono::nanoseconds(now.tv_nsec - status.st_ctim.tv_nsec);
}

} // namespace

bool ArrivingFiles::isUnfinishedName(std::string_view name) {
    static constexpr std::array<std::string_view, 4> unfinished = {"part", "crdownload", "download", "tmp"};
    const std::string extension = lowercased(std::string(FileSystem::nameExtension(name)));
    for (const std::string_view candidate : unfinished) {
        if (extension == candidate) {
            return true;
        }
    }
    return name.starts_with("~$");
}

void ArrivingFiles::changed(const std::string& name, Clock::time_point now) {
    if (FileSystem::isHiddenName(name) || isUnfinishedName(name)) {
        return;
    }
    waiting_[name].due = now + settle_;
}

void ArrivingFiles::retryAt(const std::string& name, Clock::time_point when) {
    waiting_[name].due = when;
}

std::optional<ArrivingFiles::Clock::time_point> ArrivingFiles::nextCheck() const {
    std::optional<Clock::time_point> next;
    for (const auto& [name, waiting] : waiting_) {
        if (waiting.due && (!next || *waiting.due < *next)) {
            next = waiting.due;
        }
    }
    return next;
}

std::vector<std::string> ArrivingFiles::takeSettled(int folder, Clock::time_point now) {
    std::vector<std::string> settled;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        Waiting& waiting = it->second;
        if (!waiting.due || *waiting.due > now) {
            ++it;
            continue;
        }
        Clock::time_point due = now;
        switch (check(folder, it->first, now, due)) {
        case Check::Settled:
            settled.push_back(it->first);
            it = waiting_.erase(it);
            continue;
        case Check::Forget:
            it = waiting_.erase(it);
            continue;
        case Check::Wait:
            waiting.due = due;
            break;
        case Check::WaitForClose:
            waiting.due.reset();
            break;
        }
        ++it;
    }
    return settled;
}

ArrivingFiles::Check ArrivingFiles::check(int folder, const std::string& name, Clock::time_point now,
                                          Clock::time_point& due) const {
    struct stat status {};
    if (::fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return Check::Forget;
    }
    if (S_ISLNK(status.st_mode)) {
        return Check::Settled; // a link moves as itself; what it points to is no concern of this folder
    }
    if (!S_ISREG(status.st_mode)) {
        return Check::Forget;
    }
    const std::chrono::nanoseconds ago = changedAgo(status);
    if (ago >= std::chrono::nanoseconds(0) && ago < settle_) {
        due = now + std::chrono::duration_cast<Clock::duration>(settle_ - ago);
        return Check::Wait;
    }
    return isOpenForWriting(folder, name) ? Check::WaitForClose : Check::Settled;
}

} // namespace foldwise

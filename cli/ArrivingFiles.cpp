#include "cli/ArrivingFiles.h"

#include "engine/FileSystem.h"
#include "engine/FilesInUse.h"

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace foldwise {
namespace {

// How long ago the file's status last changed by the wall clock, from its ctime: a write or a rename made
// before the watch began, or not yet reported.
std::chrono::nanoseconds changedAgo(const struct stat& status) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return std::chrono::seconds(now.tv_sec - status.st_ctim.tv_sec) +
           std::chrono::nanoseconds(now.tv_nsec - status.st_ctim.tv_nsec);
}

} // namespace

void ArrivingFiles::changed(const std::string& name, Clock::time_point now) {
    if (FileSystem::isHiddenName(name) || FilesInUse::hasUnfinishedName(name)) {
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
    // Where the check cannot tell (a file of another user), the settle time alone decides.
    return FilesInUse::isOpenForWriting(folder, name) ? Check::WaitForClose : Check::Settled;
}

} // namespace foldwise

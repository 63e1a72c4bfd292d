#include "cli/FolderWatch.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace foldwise {
namespace {

constexpr std::uint32_t kFileEvents =
    IN_CREATE | IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE;
constexpr std::uint32_t kFolderEvents = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;

} // namespace

FolderWatch::FolderWatch(fs::path folder)
    : folder_(std::move(folder)), inotify_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (!inotify_.isOpen()) {
        throw std::runtime_error(std::string("Could not start watching folders: ") + std::strerror(errno));
    }
}

bool FolderWatch::start(std::string& reason) {
    const int watch = ::inotify_add_watch(inotify_.get(), folder_.c_str(),
                                          kFileEvents | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK);
    if (watch < 0) {
        reason = std::strerror(errno);
        return false;
    }
    watch_ = watch;
    return true;
}

std::vector<FolderWatch::Event> FolderWatch::read() {
    std::vector<Event> events;
    alignas(inotify_event) std::array<char, std::size_t{64} * 1024> buffer{};
    while (true) {
        const ssize_t length = ::read(inotify_.get(), buffer.data(), buffer.size());
        if (length <= 0) {
            return events;
        }
        for (ssize_t offset = 0; offset < length;) {
            inotify_event event{};
            std::memcpy(&event, buffer.data() + offset, sizeof event);
            const char* name = buffer.data() + offset + sizeof event;
            offset += static_cast<ssize_t>(sizeof event + event.len);
            if ((event.mask & IN_Q_OVERFLOW) != 0) {
                events.push_back({Event::Kind::Overflowed, {}});
            } else if (event.wd != watch_ || watch_ < 0) {
                continue; // from a watch given up before
            } else if ((event.mask & kFolderEvents) != 0) {
                if ((event.mask & IN_IGNORED) == 0) {
                    ::inotify_rm_watch(inotify_.get(),
                                       watch_); // a renamed folder is watched by its path, not its inode
                }
                watch_ = -1;
                events.push_back({Event::Kind::FolderGone, {}});
            } else if ((event.mask & IN_ISDIR) == 0 && event.len > 0) {
                const bool isRemoved = (event.mask & (IN_MOVED_FROM | IN_DELETE)) != 0;
                events.push_back({isRemoved ? Event::Kind::Removed : Event::Kind::Changed, std::string(name)});
            }
        }
    }
}

} // namespace foldwise

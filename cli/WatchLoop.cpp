#include "cli/WatchLoop.h"

#include "cli/CommandFailure.h"
#include "cli/Console.h"
#include "engine/FileError.h"
#include "engine/FileSystem.h"
#include "engine/FolderAccess.h"
#include "engine/History.h"
#include "engine/Organizer.h"
#include "wording/RunWording.h"

#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace foldwise {
namespace {

using Clock = ArrivingFiles::Clock;

// While the folder is unavailable it is looked for once a second: the only time the watch wakes on a clock.
constexpr int kReconnectMs = 1000;
// Files a failed sort left behind are tried again after this long.
constexpr auto kRetryAfterFailure = std::chrono::seconds(30);
constexpr auto kFirstRetryOfATakenName = std::chrono::seconds(5);
constexpr auto kLongestRetryOfATakenName = std::chrono::seconds(15 * 60);

// The files of the input folder that an undo from the output folder brought back and that are still as it
// left them: the same size and modification time, and the same inode where the undo's record of it is from
// this volume (inode numbers of some volumes do not last). Read when first asked, once per sort.
class ReturnedFiles {
public:
    explicit ReturnedFiles(const FolderPair& folders) : folders_(folders) {}
    ReturnedFiles(const ReturnedFiles&) = delete;
    ReturnedFiles& operator=(const ReturnedFiles&) = delete;

    bool isAsReturned(const std::string& name) {
        if (!isLoaded_) {
            load();
        }
        const auto [first, last] = returned_.equal_range(name);
        struct stat status {};
        if (first == last || ::fstatat(folder_.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            return false;
        }
        return std::any_of(first, last, [&](const auto& entry) {
            const History::Returned& file = entry.second;
            const bool sameIdentity = file.identity.device != folderDevice_ ||
                                      (file.identity.device == status.st_dev && file.identity.inode == status.st_ino);
            return file.stamp == History::FileStamp::of(status) && sameIdentity;
        });
    }

private:
    void load() {
        isLoaded_ = true;
        folder_ = Descriptor(::open(folders_.input.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        struct stat status {};
        if (!folder_.isOpen() || ::fstat(folder_.get(), &status) != 0) {
            return;
        }
        folderDevice_ = status.st_dev;
        try {
            for (History::Returned& file : History().returnedFiles({folders_.input, folders_.output, {}, {}})) {
                std::string name = file.name;
                returned_.emplace(std::move(name), std::move(file));
            }
        } catch (const FileError&) {
            // The sort that asks will fail on the same history, and say why.
        }
    }

    const FolderPair& folders_;
    bool isLoaded_ = false;
    Descriptor folder_;
    dev_t folderDevice_ = 0;
    std::unordered_multimap<std::string, History::Returned> returned_;
};

} // namespace

WatchLoop::WatchLoop(const FolderPair& folders, bool useSmartCategories, OnNameTaken onNameTaken,
                     std::chrono::milliseconds settle, std::stop_token stop)
    : folders_(folders), useSmartCategories_(useSmartCategories),
      wording_(folders.input, folders.output, sortModeOf(useSmartCategories)), onNameTaken_(onNameTaken),
      settle_(settle), stop_(std::move(stop)), wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      registration_(folders.input), watch_(folders.input), arriving_(settle) {
    if (!wake_.isOpen()) {
        throw std::runtime_error("Could not make an event descriptor");
    }
}

WatchLoop::~WatchLoop() = default;

void WatchLoop::run() {
    std::string reason;
    if (!watch_.start(reason)) {
        throw CommandFailure(wording_.cannotWatch(reason).toStdString());
    }
    // A stop asked for from the signal thread wakes the poll below.
    const std::stop_callback wakeOnStop(stop_, [this] {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wake_.get(), &one, sizeof one);
    });
    Console::printError(wording_.watching(settle_).toStdString());
    lookAtEveryFile();
    sortSettled();
    while (!stop_.stop_requested()) {
        pollfd watched[2] = {{watch_.descriptor(), POLLIN, 0}, {wake_.get(), POLLIN, 0}};
        if (::poll(watched, 2, timeoutMs()) < 0 && errno != EINTR) {
            throw CommandFailure(WatchWording::cannotWait(std::strerror(errno)).toStdString());
        }
        if (stop_.stop_requested()) {
            break;
        }
        handleEvents();
        if (!watch_.isWatching()) {
            reconnect();
        }
        sortSettled();
    }
    Console::printError(wording_.stopped().toStdString());
}

void WatchLoop::handleEvents() {
    const Clock::time_point now = Clock::now();
    for (const FolderWatch::Event& event : watch_.read()) {
        switch (event.kind) {
        case FolderWatch::Event::Kind::Changed:
            arriving_.changed(event.name, now);
            takenRetry_.erase(event.name);
            break;
        case FolderWatch::Event::Kind::Removed:
            arriving_.removed(event.name);
            break;
        case FolderWatch::Event::Kind::Overflowed:
            lookAtEveryFile();
            break;
        case FolderWatch::Event::Kind::FolderGone:
            arriving_.clear();
            Console::printError(wording_.folderGone().toStdString());
            break;
        }
    }
}

// Every file there now, as if each had just changed: used at the start, after lost events and once the
// folder is back. The settle time counts from each file's own last change (its ctime).
void WatchLoop::lookAtEveryFile() {
    try {
        const Clock::time_point longAgo = Clock::now() - settle_;
        for (const fs::path& entry : FileSystem::listVisible(folders_.input)) {
            arriving_.changed(entry.filename().native(), longAgo);
        }
    } catch (const FileError& error) {
        Console::printProblem(error.localizedDescription());
    }
}

void WatchLoop::reconnect() {
    std::string reason;
    if (watch_.start(reason)) {
        Console::printError(wording_.folderBack().toStdString());
        lookAtEveryFile();
    }
}

void WatchLoop::sortSettled() {
    const std::optional<Clock::time_point> next = arriving_.nextCheck();
    if (!next || *next > Clock::now()) {
        return;
    }
    const Descriptor folder(::open(folders_.input.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.isOpen()) {
        return; // gone meanwhile: its events say so
    }
    const std::vector<std::string> settled = arriving_.takeSettled(folder.get(), Clock::now());
    if (!settled.empty()) {
        sort(settled);
    }
}

void WatchLoop::sort(const std::vector<std::string>& names) {
    const std::unordered_set<std::string> chosen(names.begin(), names.end());
    std::unordered_set<std::string> moved;
    std::unordered_set<std::string> leftAlone;
    // Asked by the sort once it holds its folders, so that an undo it waited for has recorded what it
    // brought back.
    ReturnedFiles returned(folders_);
    std::unordered_set<std::string> taken;
    RunOptions options;
    options.stop = stop_;
    options.onNameTaken = onNameTaken_;
    options.stayed = [&taken](const std::string& name, const std::string&, StayReason reason) {
        if (reason == StayReason::NameTaken) {
            taken.insert(name);
        }
    };
    options.include = [&](const std::string& name) {
        if (!chosen.contains(name)) {
            return false;
        }
        if (returned.isAsReturned(name)) {
            leftAlone.insert(name);
            return false;
        }
        return true;
    };
    options.waiting = [](const std::string& otherRun) {
        Console::printError(RunWording::waiting(QString::fromStdString(otherRun)).toStdString());
    };
    options.moved = [this, &moved](const std::string& name, const std::string& subFolder) {
        Console::printLine(WatchWording::moved(name, subFolder).toStdString());
        moved.insert(name);
        takenRetry_.erase(name);
    };
    RunOutcome outcome;
    {
        const FolderPairAccess access(folders_.input, folders_.output);
        outcome = organizeFiles(folders_.input, folders_.output, useSmartCategories_, options);
    }
    if (outcome.failure) {
        Console::printProblem(RunWording(RunKind::Sort, folders_.input, folders_.output)
                                  .failure(outcome.failure->localizedDescription())
                                  .toStdString());
        for (const std::string& name : names) {
            if (!moved.contains(name)) {
                arriving_.retryAt(name, Clock::now() + kRetryAfterFailure);
            }
        }
        return;
    }
    for (const std::string& name : taken) {
        Console::printLine(wording_.nameTaken(name).toStdString());
    }
    retryTakenLater(taken);
}

// Tries each file again once the wait for its name has passed, never by looking through the output.
void WatchLoop::retryTakenLater(const std::unordered_set<std::string>& taken) {
    for (const std::string& name : taken) {
        const auto [entry, isNew] = takenRetry_.try_emplace(name, kFirstRetryOfATakenName);
        if (!isNew) {
            entry->second = std::min(entry->second * 2,
                                     std::chrono::duration_cast<std::chrono::seconds>(kLongestRetryOfATakenName));
        }
        arriving_.retryAt(name, Clock::now() + entry->second);
    }
}

int WatchLoop::timeoutMs() const {
    if (!watch_.isWatching()) {
        return kReconnectMs;
    }
    const std::optional<Clock::time_point> next = arriving_.nextCheck();
    if (!next) {
        return -1; // nothing waits on a clock: sleep until the folder changes
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now()).count();
    return static_cast<int>(std::clamp<std::int64_t>(left, 0, std::int64_t{24} * 3600 * 1000));
}

} // namespace foldwise

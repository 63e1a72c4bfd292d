#include "stats/ParallelWalker.h"

#include "engine/FileSystem.h"
#include "stats/DirectoryReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace foldwise {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// How long a worker refused a descriptor waits for the walk to release one before it gives the folder up.
constexpr auto kDescriptorPatience = std::chrono::seconds(2);

// A folder found by the walk. It knows only its own name and keeps its parent alive, so a chain of names
// leads to it from any ancestor while the memory grows with the depth of the tree, not with its square.
struct Folder {
    Folder(std::shared_ptr<Folder> parent, std::string name) : parent(std::move(parent)), name(std::move(name)) {}
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    // Frees the ancestors nobody else holds one by one: recursion would overflow the stack on a deep tree.
    ~Folder() {
        std::shared_ptr<Folder> ancestor = std::move(parent);
        while (ancestor && ancestor.use_count() == 1) {
            ancestor = std::move(ancestor->parent);
        }
    }

    std::shared_ptr<Folder> parent; // null for the anchor above the root
    std::string name;
    // Recorded when sub-folders are found in it: a chain of names opened again must lead here.
    dev_t device = 0;
    ino_t inode = 0;

    // Guarded by the walk's mutex.
    int fd = -1;          // kept open for the sub-folders found in it (always open for the anchor)
    unsigned waiting = 0; // sub-folders found in it that are not opened yet
    unsigned users = 0;   // workers opening something relative to fd
    Folder* older = nullptr;
    Folder* newer = nullptr;
};

using FolderPtr = std::shared_ptr<Folder>;

// The folders kept open, oldest first. The walk goes depth first, so the oldest are needed last and
// are the ones to close when the budget is spent.
class KeptFolders {
public:
    std::size_t size() const { return size_; }

    void add(Folder& folder) {
        folder.older = newest_;
        folder.newer = nullptr;
        (newest_ != nullptr ? newest_->newer : oldest_) = &folder;
        newest_ = &folder;
        ++size_;
    }

    void remove(Folder& folder) {
        (folder.older != nullptr ? folder.older->newer : oldest_) = folder.newer;
        (folder.newer != nullptr ? folder.newer->older : newest_) = folder.older;
        folder.older = folder.newer = nullptr;
        --size_;
    }

    Folder* oldestUnused() const {
        Folder* folder = oldest_;
        while (folder != nullptr && folder->users > 0) {
            folder = folder->newer;
        }
        return folder;
    }

private:
    Folder* oldest_ = nullptr;
    Folder* newest_ = nullptr;
    std::size_t size_ = 0;
};

// Where a worker opens a folder from: an open ancestor it pinned, or a descriptor it opened on the way.
struct Base {
    Folder* folder;
    int fd;
    bool isPinned;
};

// Errors that mean the folder is gone, or was replaced by something that is no folder to enter.
bool hasVanished(int error) {
    return error == ENOENT || error == ENOTDIR || error == ELOOP;
}

bool isOutOfDescriptors(int error) {
    return error == EMFILE || error == ENFILE;
}

bool isSameFolder(int fd, const Folder& folder) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && status.st_dev == folder.device && status.st_ino == folder.inode;
}

// Half of the open-file limit, less what the workers open on the way, and no more than a thousand.
std::size_t keptFolderBudget(const ParallelWalker::Options& options, unsigned workers) {
    if (options.keptFolders > 0) {
        return options.keptFolders;
    }
    struct rlimit limit {};
    const rlim_t soft = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 ? limit.rlim_cur : 1024;
    const rlim_t share = std::min<rlim_t>(soft / 2, 1024);
    const rlim_t onTheWay = 1 + 2 * rlim_t{workers};
    return share > onTheWay + 4 ? static_cast<std::size_t>(share - onTheWay) : 4;
}

enum class EntryKind { Skipped, File, Folder };

struct EntryInfo {
    EntryKind kind = EntryKind::Skipped;
    std::int64_t size = 0; // of a file whose size was asked for: the entry's own length, a link's being the link's
};

// Follows a link, or an entry the file system gave no type, to tell a file from a folder. A link that leads
// to a folder is not one to enter; an entry of unknown type may still be such a link, and opening it
// refuses to follow one.
EntryKind followedKind(int folderFd, const char* name, unsigned char type) {
    struct stat status {};
    if (::fstatat(folderFd, name, &status, 0) != 0) {
        return EntryKind::Skipped; // a dangling link, or an entry that vanished
    }
    if (!S_ISDIR(status.st_mode)) {
        return EntryKind::File;
    }
    return type == DT_LNK ? EntryKind::Skipped : EntryKind::Folder;
}

// What an entry is, from the type its folder gives it where that is known.
EntryInfo inspectByType(int folderFd, const char* name, unsigned char type) {
    switch (type) {
    case DT_DIR:
        return {EntryKind::Folder};
    case DT_LNK:
    case DT_UNKNOWN:
        return {followedKind(folderFd, name, type)};
    default:
        return {EntryKind::File}; // regular files, and fifos, sockets and devices: they exist and are no folder
    }
}

// What an entry is, with a file's size: every entry but a known folder is asked about itself, not its
// target, so that a link counts its own bytes; a link is then followed as above.
EntryInfo inspectWithSize(int folderFd, const char* name, unsigned char type) {
    if (type == DT_DIR) {
        return {EntryKind::Folder};
    }
    struct statx own {};
    if (::statx(folderFd, name, AT_SYMLINK_NOFOLLOW | AT_STATX_DONT_SYNC, STATX_TYPE | STATX_SIZE, &own) != 0) {
        return {}; // vanished since the listing
    }
    if (S_ISDIR(own.stx_mode)) {
        return {EntryKind::Folder};
    }
    if (S_ISLNK(own.stx_mode) && followedKind(folderFd, name, DT_LNK) != EntryKind::File) {
        return {};
    }
    return {EntryKind::File, static_cast<std::int64_t>(own.stx_size)};
}

class Walk {
public:
    Walk(const fs::path& root, const ParallelWalker::Options& options, unsigned workers,
         const ParallelWalker::FileVisitor& visit, const ParallelWalker::UnreadableVisitor& unreadable)
        : root_(root), trustEntryType_(options.trustEntryType), sizes_(options.sizes), stop_(options.stop),
          workers_(workers), visit_(visit), unreadable_(unreadable), budget_(keptFolderBudget(options, workers)) {}

    // Walks the folder open at `rootFd`, which stays open as the anchor every chain of names starts from.
    void run(int rootFd) {
        auto anchor = std::make_shared<Folder>(nullptr, std::string());
        anchor->fd = rootFd;
        anchor->waiting = 1;
        pending_.push_back(std::make_shared<Folder>(std::move(anchor), "."));
        std::vector<std::thread> helpers;
        for (unsigned worker = 1; worker < workers_; ++worker) {
            try {
                helpers.emplace_back([this, worker] { work(worker); });
            } catch (const std::exception&) {
                break; // fewer threads only make the walk slower
            }
        }
        work(0);
        for (std::thread& helper : helpers) {
            helper.join();
        }
    }

private:
    // Takes folders from the shared stack until none is left and no worker can find more. The stack
    // makes the walk depth-first, which keeps few folders open at a time.
    void work(unsigned worker) {
        DirectoryReader reader;
        std::vector<FolderPtr> found;
        std::unique_lock lock(mutex_);
        for (;;) {
            if (stop_.stop_requested()) {
                pending_.clear(); // what waits is not read; the folders it kept open are released
            }
            while (pending_.empty() && busy_ > 0) {
                ++idle_;
                wake_.wait(lock);
                --idle_;
            }
            if (pending_.empty()) {
                return;
            }
            FolderPtr folder = std::move(pending_.back());
            pending_.pop_back();
            ++busy_;
            Base base = pinNearestOpen(*folder->parent);
            lock.unlock();

            found.clear();
            int fd = open(*folder, base);
            if (fd >= 0) {
                read(worker, folder, fd, reader, found);
                fd = keepOnlyIfNeeded(*folder, fd, found);
            }

            lock.lock();
            --busy_;
            finishOpening(*folder->parent, base);
            if (fd >= 0) {
                folder->waiting = static_cast<unsigned>(found.size());
                offer(*folder, fd);
            }
            std::move(found.begin(), found.end(), std::back_inserter(pending_));
            noteRelease();
            if (idle_ > 0 && (!found.empty() || busy_ == 0)) {
                wake_.notify_all();
            }
        }
    }

    // Opens `folder`, from its parent when that is open and otherwise name by name from the nearest open
    // ancestor, waiting for descriptors when there are none. Returns -1, having reported why unless the
    // folder vanished, when it cannot be opened; `base` is left holding what must be released.
    int open(Folder& folder, Base& base) {
        bool alone = false;
        for (;;) {
            int error = 0;
            const int fd = descend(folder, base, error);
            if (fd >= 0 || !isOutOfDescriptors(error) || !waitForDescriptor(folder, base, alone)) {
                if (alone) {
                    endTurnAlone();
                }
                if (fd < 0 && !hasVanished(error)) {
                    report(folder, error);
                }
                return fd;
            }
        }
    }

    int descend(const Folder& folder, Base& base, int& error) {
        if (base.folder != folder.parent.get() && !reopenParentOf(folder, base, error)) {
            return -1;
        }
        // Never through a link: a folder replaced by one while the walk runs is not entered either.
        const int fd = ::openat(base.fd, folder.name.c_str(), kFolderFlags | O_NOFOLLOW);
        error = fd < 0 ? errno : 0;
        return fd;
    }

    // Opens the folders from `base` down to the parent of `folder` again, each checked to be the one read
    // before; leaves the parent's descriptor in `base`.
    bool reopenParentOf(const Folder& folder, Base& base, int& error) {
        std::vector<Folder*> chain;
        for (Folder* step = folder.parent.get(); step != base.folder; step = step->parent.get()) {
            chain.push_back(step);
        }
        for (auto step = chain.rbegin(); step != chain.rend(); ++step) {
            const int fd = ::openat(base.fd, (*step)->name.c_str(), kFolderFlags | O_NOFOLLOW);
            error = fd < 0 ? errno : 0;
            if (fd >= 0 && !isSameFolder(fd, **step)) {
                ::close(fd);
                error = ENOENT; // swapped for another folder: the one found before is gone from here
            }
            if (error != 0) {
                return false;
            }
            const std::lock_guard lock(mutex_);
            settle(base);
            base = {*step, fd, false};
        }
        return true;
    }

    // After the system refused a descriptor: closes the oldest kept folder no worker uses, or else waits
    // for the walk to release one. Releases what `base` holds first, so that workers waiting at once do
    // not hold each other up, and pins the nearest open ancestor again. When every other worker waits
    // too, this one takes a turn alone, with every descriptor the walk can give up; `alone` says so.
    // False when even then none is left: the descriptors are held outside the walk.
    bool waitForDescriptor(const Folder& folder, Base& base, bool& alone) {
        std::unique_lock lock(mutex_);
        release(base);
        bool hasRoom = false;
        for (;;) {
            if (closeOldestUnused()) {
                budget_ = kept_.size(); // stay below what the system grants from now on
                hasRoom = true;
                break;
            }
            if (alone) {
                break;
            }
            if (!someoneAlone_ && busy_ <= waiters_ + 1) {
                someoneAlone_ = alone = true;
                hasRoom = true;
                break;
            }
            const auto releases = releases_;
            ++waiters_;
            if (released_.wait_for(lock, kDescriptorPatience, [&] { return releases_ != releases; })) {
                hasRoom = !someoneAlone_;
            }
            --waiters_;
            if (hasRoom) {
                break;
            }
        }
        base = pinNearestOpen(*folder.parent);
        return hasRoom;
    }

    void endTurnAlone() {
        const std::lock_guard lock(mutex_);
        someoneAlone_ = false;
        noteRelease();
    }

    void read(unsigned worker, const FolderPtr& folder, int fd, DirectoryReader& reader,
              std::vector<FolderPtr>& found) {
        try {
            list(worker, folder, fd, reader, found);
        } catch (const std::exception&) {
            // Out of memory in the middle of a folder: what was not read is not counted.
        }
    }

    void list(unsigned worker, const FolderPtr& folder, int fd, DirectoryReader& reader,
              std::vector<FolderPtr>& found) {
        reader.open(fd);
        DirectoryReader::Entry entry;
        while (reader.next(entry) && !stop_.stop_requested()) {
            if (FileSystem::isHiddenName(entry.name)) {
                continue; // hidden entries, and "." and ".."
            }
            // The name is NUL-terminated in the reader's buffer.
            const unsigned char type = trustEntryType_ ? entry.type : static_cast<unsigned char>(DT_UNKNOWN);
            const EntryInfo info =
                sizes_ ? inspectWithSize(fd, entry.name.data(), type) : inspectByType(fd, entry.name.data(), type);
            switch (info.kind) {
            case EntryKind::File:
                visit_(worker, entry.name, info.size);
                break;
            case EntryKind::Folder:
                if (!FileSystem::isPackageName(entry.name)) {
                    found.push_back(std::make_shared<Folder>(folder, std::string(entry.name)));
                }
                break;
            case EntryKind::Skipped:
                break;
            }
        }
        if (reader.error() != 0 && !hasVanished(reader.error())) {
            report(*folder, reader.error());
        }
    }

    // Records who the folder is when sub-folders wait in it, so that a chain of names opened again can be
    // checked; closes it at once when none do.
    static int keepOnlyIfNeeded(Folder& folder, int fd, const std::vector<FolderPtr>& found) {
        if (found.empty()) {
            ::close(fd);
            return -1;
        }
        struct stat status {};
        if (::fstat(fd, &status) == 0) {
            folder.device = status.st_dev;
            folder.inode = status.st_ino;
        }
        return fd;
    }

    // The rest is called with the mutex held.

    Base pinNearestOpen(Folder& folder) {
        Folder* open = &folder;
        while (open->fd < 0) {
            open = open->parent.get(); // the anchor is always open
        }
        ++open->users;
        return {open, open->fd, true};
    }

    // One sub-folder of `parent` less waits to be opened; gives back what `base` holds.
    void finishOpening(Folder& parent, Base& base) {
        --parent.waiting;
        release(base);
        closeIfUnneeded(parent);
    }

    void release(Base& base) {
        settle(base);
        base = {base.folder, -1, false};
    }

    // Unpins an ancestor, or offers a descriptor opened on the way to be kept.
    void settle(const Base& base) {
        if (base.fd < 0) {
            return;
        }
        if (base.isPinned) {
            --base.folder->users;
            closeIfUnneeded(*base.folder);
        } else {
            offer(*base.folder, base.fd);
        }
    }

    // Keeps `fd` open for the sub-folders waiting in `folder` while the budget allows, making room by
    // closing the oldest kept folder if need be; closes it otherwise.
    void offer(Folder& folder, int fd) {
        if (folder.fd < 0 && folder.waiting > 0 && (kept_.size() < budget_ || closeOldestUnused())) {
            folder.fd = fd;
            kept_.add(folder);
        } else {
            ::close(fd);
            noteRelease();
        }
    }

    void closeIfUnneeded(Folder& folder) {
        if (folder.parent != nullptr && folder.fd >= 0 && folder.waiting == 0 && folder.users == 0) {
            close(folder);
        }
    }

    bool closeOldestUnused() {
        Folder* oldest = kept_.oldestUnused();
        if (oldest != nullptr) {
            close(*oldest);
        }
        return oldest != nullptr;
    }

    void close(Folder& folder) {
        kept_.remove(folder);
        ::close(folder.fd);
        folder.fd = -1;
        noteRelease();
    }

    void noteRelease() {
        ++releases_;
        if (waiters_ > 0) {
            released_.notify_all();
        }
    }

    // Without the mutex.
    void report(const Folder& folder, int error) {
        if (!unreadable_) {
            return;
        }
        const fs::path path = pathOf(folder);
        const std::lock_guard lock(reportMutex_);
        unreadable_(path, std::error_code(error, std::generic_category()));
    }

    // The root's path as given, then the names below it (the root's own entry, ".", left out).
    fs::path pathOf(const Folder& folder) const {
        std::vector<const Folder*> chain;
        for (const Folder* step = &folder; step->parent != nullptr && step->parent->parent != nullptr;
             step = step->parent.get()) {
            chain.push_back(step);
        }
        fs::path path = root_;
        for (auto step = chain.rbegin(); step != chain.rend(); ++step) {
            path /= (*step)->name;
        }
        return path;
    }

    const fs::path& root_;
    const bool trustEntryType_;
    const bool sizes_;
    const std::stop_token stop_;
    const unsigned workers_;
    const ParallelWalker::FileVisitor& visit_;
    const ParallelWalker::UnreadableVisitor& unreadable_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<FolderPtr> pending_;
    unsigned busy_ = 0;
    unsigned idle_ = 0;
    KeptFolders kept_;
    std::size_t budget_;
    std::condition_variable released_;
    std::uint64_t releases_ = 0;
    unsigned waiters_ = 0;
    bool someoneAlone_ = false; // a worker takes a turn alone with the walk's descriptors
    std::mutex reportMutex_;
};

} // namespace

unsigned ParallelWalker::workerCount(const Options& options) {
    if (options.threads > 0) {
        return options.threads;
    }
    return std::clamp(std::thread::hardware_concurrency(), 2u, 16u);
}

bool ParallelWalker::walk(const fs::path& root, const Options& options, const FileVisitor& visit,
                          const UnreadableVisitor& unreadable) {
    // The root itself may be reached through a link: the caller chose it.
    const int fd = ::open(root.c_str(), kFolderFlags);
    if (fd < 0) {
        const int error = errno;
        if (!hasVanished(error) && unreadable) {
            unreadable(root, std::error_code(error, std::generic_category()));
        }
        return false;
    }
    Walk walk(root, options, workerCount(options), visit, unreadable);
    walk.run(fd);
    ::close(fd);
    return true;
}

} // namespace foldwise

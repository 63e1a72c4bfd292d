#include "stats/ParallelWalker.h"

#include "engine/FileSystem.h"
#include "stats/DirectoryReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace foldwise {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// An open folder that stays open while sub-folders found in it wait to be opened relative to it.
class OpenFolder {
public:
    explicit OpenFolder(int fd) : fd_(fd) {}
    ~OpenFolder() { ::close(fd_); }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    int fd() const { return fd_; }

private:
    int fd_;
};

// A folder waiting to be read, by its name inside an open parent.
struct PendingFolder {
    std::shared_ptr<const OpenFolder> parent;
    std::string name;
};

enum class EntryKind { Skipped, File, Folder };

// What an entry is, from the type its folder gives it where that is known. Links and entries of unknown
// type are followed; a link that leads to a folder is not one to enter.
EntryKind kindOf(int folderFd, const DirectoryReader::Entry& entry, bool trustEntryType) {
    const unsigned char type = trustEntryType ? entry.type : static_cast<unsigned char>(DT_UNKNOWN);
    switch (type) {
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN:
        break;
    default:
        return EntryKind::File; // regular files, and fifos, sockets and devices: they exist and are no folder
    }
    struct stat status {};
    // The name is NUL-terminated in the reader's buffer.
    if (::fstatat(folderFd, entry.name.data(), &status, 0) != 0) {
        return EntryKind::Skipped; // a dangling link, or an entry that vanished
    }
    if (!S_ISDIR(status.st_mode)) {
        return EntryKind::File;
    }
    // An entry of unknown type may still be a link: opening it refuses to follow one.
    return type == DT_LNK ? EntryKind::Skipped : EntryKind::Folder;
}

class Walk {
public:
    Walk(const ParallelWalker::Options& options, const ParallelWalker::FileVisitor& visit)
        : trustEntryType_(options.trustEntryType), visit_(visit) {}

    void run(PendingFolder root, unsigned workers) {
        pending_.push_back(std::move(root));
        std::vector<std::thread> helpers;
        for (unsigned worker = 1; worker < workers; ++worker) {
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
        std::vector<PendingFolder> found;
        std::unique_lock lock(mutex_);
        for (;;) {
            while (pending_.empty() && busy_ > 0) {
                ++idle_;
                wake_.wait(lock);
                --idle_;
            }
            if (pending_.empty()) {
                return;
            }
            PendingFolder folder = std::move(pending_.back());
            pending_.pop_back();
            ++busy_;
            lock.unlock();

            found.clear();
            try {
                read(worker, folder, reader, found);
            } catch (const std::exception&) {
                // Out of memory in the middle of a folder: what was not read is not counted.
            }
            folder = {};

            lock.lock();
            --busy_;
            std::move(found.begin(), found.end(), std::back_inserter(pending_));
            if (idle_ > 0 && (!found.empty() || busy_ == 0)) {
                wake_.notify_all();
            }
        }
    }

    void read(unsigned worker, const PendingFolder& folder, DirectoryReader& reader,
              std::vector<PendingFolder>& found) {
        // Never through a link: a folder replaced by one while the walk runs is not entered either.
        const int fd = ::openat(folder.parent->fd(), folder.name.c_str(), kFolderFlags | O_NOFOLLOW);
        if (fd < 0) {
            return;
        }
        // Shared by the sub-folders found here until the last of them has been opened.
        auto self = std::make_shared<const OpenFolder>(fd);
        reader.open(fd);
        DirectoryReader::Entry entry;
        while (reader.next(entry)) {
            if (FileSystem::isHiddenName(entry.name)) {
                continue; // hidden entries, and "." and ".."
            }
            switch (kindOf(fd, entry, trustEntryType_)) {
            case EntryKind::File:
                visit_(worker, entry.name);
                break;
            case EntryKind::Folder:
                if (!FileSystem::isPackageName(entry.name)) {
                    found.push_back({self, std::string(entry.name)});
                }
                break;
            case EntryKind::Skipped:
                break;
            }
        }
    }

    const bool trustEntryType_;
    const ParallelWalker::FileVisitor& visit_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<PendingFolder> pending_;
    unsigned busy_ = 0;
    unsigned idle_ = 0;
};

} // namespace

unsigned ParallelWalker::workerCount(const Options& options) {
    if (options.threads > 0) {
        return options.threads;
    }
    return std::clamp(std::thread::hardware_concurrency(), 2u, 16u);
}

bool ParallelWalker::walk(const fs::path& root, const Options& options, const FileVisitor& visit) {
    // The root itself may be reached through a link: the caller chose it.
    const int fd = ::open(root.c_str(), kFolderFlags);
    if (fd < 0) {
        return false;
    }
    Walk walk(options, visit);
    walk.run(PendingFolder{std::make_shared<const OpenFolder>(fd), "."}, workerCount(options));
    return true;
}

} // namespace foldwise

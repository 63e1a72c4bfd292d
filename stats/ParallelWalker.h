#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string_view>
#include <system_error>

namespace foldwise {
namespace fs = std::filesystem;

// Finds the files below a folder with several threads, for counting large trees quickly.
//
// A file is every entry that exists and is not a folder once symbolic links are followed, at any
// depth. Hidden entries (and everything inside a hidden folder) are left out; package folders are
// neither reported nor entered; a link to a file is reported under the link's own name, while a
// link to a folder is never entered and a dangling link is not reported. Names are bytes and reach the
// visitor as the folder gives them.
//
// However deep and wide the tree, the walk keeps a bounded number of folders open, and no folder is
// passed over for want of descriptors: it waits for one of its own to be released instead. Folders that
// cannot be opened or listed are reported, except those that vanished while the walk ran.
class ParallelWalker {
public:
    ParallelWalker() = delete;

    struct Options {
        unsigned threads = 0;       // 0: one per processor core, at least two
        bool trustEntryType = true; // false: ask the file system about every entry, as if it gave no types
        unsigned keptFolders = 0;   // folders kept open for the sub-folders found in them; 0: from the limit
                                    // of open files
        std::stop_token stop;       // checked between entries: a stopped walk ends soon, having visited part
        bool sizes = false;         // true: give each file's size, at the cost of one more system call a file
    };

    // Called once per file with the index of the worker thread that found it (0 … workerCount - 1), the
    // file's own name, which is valid only during the call, and, when Options::sizes asks for it, its size
    // in bytes (0 otherwise): the length the entry itself has, a sparse file's with its holes and a link's
    // its own rather than its target's. Calls from different workers overlap.
    using FileVisitor = std::function<void(unsigned worker, std::string_view name, std::int64_t size)>;

    // Called once per folder that could not be read, with its path (the root's as given, then names as
    // the folders give them) and the reason; what was listed before a failure is still visited. Calls
    // never overlap.
    using UnreadableVisitor = std::function<void(const fs::path& folder, std::error_code reason)>;

    static unsigned workerCount(const Options& options);

    // Returns false, having visited nothing, when `root` cannot be opened as a folder; the root is then
    // reported as unreadable unless it is missing or no folder.
    static bool walk(const fs::path& root, const Options& options, const FileVisitor& visit,
                     const UnreadableVisitor& unreadable = {});
};

} // namespace foldwise

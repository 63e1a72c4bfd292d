#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace foldwise {
namespace fs = std::filesystem;

// Finds the files below a folder with several threads, for counting large trees quickly.
//
// A file is every entry that exists and is not a folder once symbolic links are followed, at any
// depth. Hidden entries (and everything inside a hidden folder) are left out; package folders are
// neither reported nor entered; a link to a file is reported under the link's own name, while a
// link to a folder is never entered and a dangling link is not reported. Folders that cannot be read
// are passed over silently. Names are bytes and reach the visitor as the folder gives them.
class ParallelWalker {
public:
    ParallelWalker() = delete;

    struct Options {
        unsigned threads = 0;       // 0: one per processor core, at least two
        bool trustEntryType = true; // false: ask the file system about every entry, as if it gave no types
    };

    // Called once per file with the index of the worker thread that found it (0 … workerCount - 1) and
    // the file's own name, which is valid only during the call. Calls from different workers overlap.
    using FileVisitor = std::function<void(unsigned worker, std::string_view name)>;

    static unsigned workerCount(const Options& options);

    // Returns false, having visited nothing, when `root` cannot be opened as a folder.
    static bool walk(const fs::path& root, const Options& options, const FileVisitor& visit);
};

} // namespace foldwise

#pragma once

#include <QByteArray>

#include <filesystem>

namespace foldwise {
namespace fs = std::filesystem;

struct ResolvedBookmark {
    fs::path folder;
    bool isStale = false; // the folder found is not the one that was bookmarked at that path
};

// Folder bookmarks: a small versioned byte format holding the folder's path (as bytes) and its
// device and inode numbers.
class Bookmarks {
public:
    Bookmarks() = delete;

    static QByteArray create(const fs::path& folder);         // throws FileError
    static ResolvedBookmark resolve(const QByteArray& bytes); // throws FileError
};

} // namespace foldwise

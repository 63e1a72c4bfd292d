#pragma once

#include <QByteArray>

#include <filesystem>

namespace foldwise {
namespace fs = std::filesystem;

struct ResolvedBookmark {
    fs::path folder;
    bool isStale = false; // the folder found is not at its bookmarked path, or not the folder bookmarked there
};

// Folder bookmarks: a small versioned byte format holding the folder's absolute path (as bytes, so
// names that are not valid UTF-8 survive) and its device and inode numbers.
class Bookmarks {
public:
    Bookmarks() = delete;

    // Throws FileError when the folder is missing, is not a folder, or cannot be opened.
    static QByteArray create(const fs::path& folder);

    // Finds the bookmarked folder again. When nothing is left at the bookmarked path (or what is
    // there is not a folder), a folder with the bookmarked device and inode numbers in the same
    // parent folder, the bookmarked one renamed, is returned as stale. Throws FileError when the
    // folder is gone, or when the bytes are not a bookmark made by `create`.
    static ResolvedBookmark resolve(const QByteArray& bytes);
};

} // namespace foldwise

#pragma once

#include "engine/FileError.h"
#include "engine/Folder.h"

#include <functional>
#include <string>

namespace foldwise {

// A depth-first walk of the folders below a folder that never follows a link to a folder, keeps a
// bounded number of descriptors open however deep the tree, and needs memory linear in its depth.
// Each folder's names are read before its entries are handed out, so a visitor may move them.
class TreeWalk {
public:
    struct Options {
        bool includeHidden = false;       // hidden entries, and everything in hidden folders, are left out
        bool skipPackageContents = false; // a package is handed out as a folder, but not entered
    };

    struct Visitor {
        // Every entry that is not a real folder (files, links, pipes…), with the open folder holding it.
        // Returning false ends the walk.
        std::function<bool(const Folder& folder, const std::string& name)> entry;
        // Every real folder below the root, once everything in it has been handed out. May be empty.
        std::function<void(const Folder& parent, const std::string& name)> leftFolder;
        // A folder below the root whose content could not be read; nothing in it is handed out.
        std::function<void(const FileError& error)> unreadable;
    };

    // Walks below `root`; throws FileError when `root` itself cannot be listed, or when a folder the
    // walk has to return to was moved away meanwhile. Returns false when the visitor ended the walk.
    static bool run(const Folder& root, const Options& options, const Visitor& visitor);
};

} // namespace foldwise

#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace foldwise::test {
namespace fs = std::filesystem;

enum class TreeShape {
    Flat,   // every file directly in the root folder
    Nested, // files spread over nested folders (some of them packages)
};

struct TreeOptions {
    std::size_t fileCount = 1000; // visible files, links to files included
    TreeShape shape = TreeShape::Flat;
    std::uint64_t seed = 1;
    std::size_t maxFileBytes = 0; // each regular file holds 0 to this many bytes
};

// What was made. Hidden entries, links to folders and dangling links come on top of `fileCount`.
struct TreeSummary {
    std::size_t files = 0;         // visible regular files
    std::size_t fileLinks = 0;     // visible links to a regular file
    std::size_t folderLinks = 0;   // visible links to a folder (one of them a loop back up)
    std::size_t danglingLinks = 0; // visible links to nothing
    std::size_t hiddenFiles = 0;   // hidden files, and every file inside a hidden folder
    std::size_t folders = 0;       // visible folders below the root, packages included
    std::size_t hiddenFolders = 0;
    std::size_t packages = 0;     // visible folders named like packages ("Tool.app")
    std::size_t nonUtf8Names = 0; // entries of any kind whose name is not valid UTF-8
    std::size_t bytes = 0;
};

// Fills `root` (created when missing; it must be empty) with a deterministic mix of files: about
// forty extensions in both cases, names with no extension or two, names that are not valid UTF-8,
// hidden files and folders, and links to files, to folders and to nothing. The same options always
// give the same names, shape and contents. Throws std::runtime_error when something cannot be made.
TreeSummary generateTree(const fs::path& root, const TreeOptions& options);

} // namespace foldwise::test

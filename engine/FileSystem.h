#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace foldwise {
namespace fs = std::filesystem;

// How a move ended when it did not fail. DestinationFolderGone: the folder the file was to go into
// was removed meanwhile; Cancelled: stopped by the caller with the file back where it was;
// NameRefused and TooLarge: the destination's file system cannot store the file's name or its size,
// and the file stays where it was.
enum class MoveResult {
    Moved,
    DestinationExists,
    SourceVanished,
    DestinationFolderGone,
    Cancelled,
    NameRefused,
    TooLarge
};

// The file-system services the engine, the analyzer and the bookmarks rely on. Paths are bytes:
// names that are not valid UTF-8 pass through untouched. Every failure throws FileError.
class FileSystem {
public:
    FileSystem() = delete;

    // Top-level entries of `folder` as full paths, in the directory's own order.
    static std::vector<fs::path> listVisible(const fs::path& folder); // hidden names left out
    static std::vector<fs::path> listAll(const fs::path& folder);     // hidden names included

    static bool exists(const fs::path& path); // follows links: a dangling link does not exist

    // There is no sandbox here: access "starts" when the folder exists and can be read and entered.
    static bool startAccessing(const fs::path& folder) noexcept;
    static void stopAccessing(const fs::path& folder) noexcept;

    // The text after the last dot of the last component ("gz" for "backup.tar.gz"), or empty.
    // Names that begin with their only dot (".profile") have no extension.
    static std::string pathExtension(const fs::path& path);
    // The same rule on a file's own name, without copying it.
    static std::string_view nameExtension(std::string_view name);
    static bool isHiddenName(std::string_view name) { return !name.empty() && name.front() == '.'; }
    static bool isPackageName(std::string_view name);

    // The item's name or path as valid UTF-8 for messages: bytes that are not UTF-8, and control
    // characters, are shown as \xNN.
    static std::string displayName(const fs::path& path);
    static std::string displayPath(const fs::path& path);
    // A folder's own name for display, a trailing separator ignored, or its path where it has no name
    // (the root folder).
    static std::string displayFolderName(const fs::path& folder);
    // displayPath in quotation marks, as messages name an item: “/home/me/Downloads”.
    static std::string quoted(const fs::path& path) { return "“" + displayPath(path) + "”"; }
};

} // namespace foldwise

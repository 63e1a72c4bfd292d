#include "prefs/Bookmarks.h"

#include "engine/Descriptor.h"
#include "engine/FileError.h"
#include "engine/FileSystem.h"

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace foldwise {
namespace {

// Layout, integers big-endian: magic (4) | version (1) | device (8) | inode (8) | path length (4) | path bytes.
const QByteArray magic = QByteArrayLiteral("FWBM");
constexpr std::uint8_t currentVersion = 1;
constexpr qsizetype versionOffset = 4;
constexpr qsizetype deviceOffset = 5;
constexpr qsizetype inodeOffset = 13;
constexpr qsizetype pathLengthOffset = 21;
constexpr qsizetype headerSize = 25;

struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FolderIdentity&) const = default;
};

struct Bookmark {
    FolderIdentity identity;
    fs::path path;
};

void appendBigEndian(QByteArray& bytes, std::uint64_t value, int width) {
    for (int shift = (width - 1) * 8; shift >= 0; shift -= 8) {
        bytes.append(static_cast<char>((value >> shift) & 0xff));
    }
}

std::uint64_t readBigEndian(const QByteArray& bytes, qsizetype offset, int width) {
    std::uint64_t value = 0;
    for (int i = 0; i < width; ++i) {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[offset + i]);
    }
    return value;
}

QByteArray encode(const Bookmark& bookmark) {
    const std::string& path = bookmark.path.native();
    QByteArray bytes = magic;
    bytes.append(static_cast<char>(currentVersion));
    appendBigEndian(bytes, bookmark.identity.device, 8);
    appendBigEndian(bytes, bookmark.identity.inode, 8);
    appendBigEndian(bytes, path.size(), 4);
    bytes.append(path.data(), static_cast<qsizetype>(path.size()));
    return bytes;
}

FileError damagedBookmark() {
    return FileError("The folder bookmark is incomplete or damaged.");
}

// Checks every length against the bytes actually there before reading, so any byte string is safe.
Bookmark decode(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        throw FileError("The folder bookmark is empty.");
    }
    if (!bytes.startsWith(magic.left(bytes.size()))) {
        throw FileError("The stored data is not a folder bookmark.");
    }
    if (bytes.size() <= versionOffset) {
        throw damagedBookmark();
    }
    const auto version = static_cast<std::uint8_t>(bytes[versionOffset]);
    if (version != currentVersion) {
        throw FileError("The folder bookmark was made in an unsupported format (version " + std::to_string(version) +
                        ").");
    }
    if (bytes.size() < headerSize ||
        readBigEndian(bytes, pathLengthOffset, 4) != static_cast<std::uint64_t>(bytes.size() - headerSize)) {
        throw damagedBookmark();
    }
    const std::string path(bytes.constData() + headerSize, static_cast<std::size_t>(bytes.size() - headerSize));
    if (path.empty() || path.front() != '/' || path.find('\0') != std::string::npos) {
        throw damagedBookmark();
    }
    return {{readBigEndian(bytes, deviceOffset, 8), readBigEndian(bytes, inodeOffset, 8)}, fs::path(path)};
}

FolderIdentity identityOf(const struct stat& status) {
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

// An absolute path without a trailing separator, so that its parent is the folder that holds it.
fs::path bookmarkPath(const fs::path& folder) {
    std::error_code error;
    fs::path path = fs::absolute(folder, error);
    if (error) {
        throw FileError::fromErrno("Could not bookmark the folder " + FileSystem::quoted(folder), error.value());
    }
    while (!path.has_filename() && path.has_relative_path()) {
        path = path.parent_path();
    }
    return path;
}

// A real folder (not a link) in the bookmarked folder's parent that carries its identity: the
// bookmarked folder under a new name.
std::optional<fs::path> findRenamedFolder(const Bookmark& bookmark) {
    const fs::path parent = bookmark.path.parent_path();
    if (parent == bookmark.path) {
        return std::nullopt;
    }
    try {
        for (const fs::path& entry : FileSystem::listAll(parent)) {
            struct stat status {};
            if (::lstat(entry.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
                identityOf(status) == bookmark.identity) {
                return entry;
            }
        }
    } catch (const FileError&) {
        // A parent that is gone or unreadable holds no renamed folder.
    }
    return std::nullopt;
}

} // namespace

QByteArray Bookmarks::create(const fs::path& folder) {
    if (folder.empty()) {
        throw FileError("Could not bookmark the folder: no folder was given.");
    }
    const fs::path path = bookmarkPath(folder);
    const Descriptor descriptor(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat status {};
    if (!descriptor.isOpen() || ::fstat(descriptor.get(), &status) != 0) {
        throw FileError::fromErrno("Could not bookmark the folder " + FileSystem::quoted(path), errno);
    }
    return encode({identityOf(status), path});
}

ResolvedBookmark Bookmarks::resolve(const QByteArray& bytes) {
    const Bookmark bookmark = decode(bytes);
    struct stat status {};
    if (::stat(bookmark.path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) {
            return {bookmark.path, identityOf(status) != bookmark.identity};
        }
    } else if (errno != ENOENT && errno != ENOTDIR) {
        throw FileError::fromErrno("Could not reach the folder " + FileSystem::quoted(bookmark.path), errno);
    }
    if (const auto renamed = findRenamedFolder(bookmark)) {
        return {*renamed, true};
    }
    if (FileSystem::exists(bookmark.path)) {
        throw FileError("The folder " + FileSystem::quoted(bookmark.path) + " is no longer a folder.");
    }
    throw FileError("The folder " + FileSystem::quoted(bookmark.path) + " no longer exists.");
}

} // namespace foldwise

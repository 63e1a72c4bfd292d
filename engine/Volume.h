#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace foldwise {

// What the file system that holds a folder can store, and whether its inode numbers name a file for
// good. FAT and exFAT (in the kernel or through FUSE) invent inode numbers that change when the inode
// is evicted, and every FUSE mount gets a new device number: there a file is known by its place, size
// and time instead. Drives formatted for Windows refuse some names, and FAT cannot hold 4 GiB.
struct Volume {
    enum class Kind { Ordinary, Fat, ExFat, Ntfs, WindowsFamily /* a FUSE block device of unknown format */ };

    Kind kind = Kind::Ordinary;
    bool stableInodes = true;
    std::optional<std::uint64_t> largestFile; // in bytes, where the format sets a limit
    // fusefat stores long names in ASCII alone: it refuses every other name with EPERM.
    bool asciiNamesOnly = false;

    // The volume that holds the open folder `folderFd`; an Ordinary one where it cannot be told.
    static Volume of(int folderFd);

    // Whether the format's naming rules refuse `name` (characters, reserved names, bytes that are not
    // UTF-8), as far as they can be known before trying.
    bool refusesName(std::string_view name) const;
    bool refusesSize(std::uint64_t size) const { return largestFile && size > *largestFile; }

    // Whether `error`, from creating `name` in the open folder `folderFd` or renaming a file to it, says
    // that the folder's file system cannot store that name: EINVAL, EILSEQ and ENAMETOOLONG do; EPERM
    // (FAT through FUSE) and ENOENT (exFAT through FUSE) only on a drive formatted for Windows, where the
    // naming rules refuse the name or the folder takes a plain name of Foldwise's own meanwhile.
    static bool isNameRefusal(int error, int folderFd, std::string_view name);
};

} // namespace foldwise

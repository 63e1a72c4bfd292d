#include "engine/Volume.h"

#include "engine/Descriptor.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <vector>

namespace foldwise {

namespace {

constexpr long msdosMagic = 0x4d44;
constexpr long exfatMagic = 0x2011BAB0;
constexpr long ntfsMagic = 0x5346544e;
constexpr long ntfs3Magic = 0x7366746e;
constexpr long fuseMagic = 0x65735546;

constexpr std::uint64_t fatLargestFile = (std::uint64_t{1} << 32) - 1;

Volume volumeOfKind(Volume::Kind kind, bool stableInodes) {
    Volume volume;
    volume.kind = kind;
    volume.stableInodes = stableInodes;
    if (kind == Volume::Kind::Fat) {
        volume.largestFile = fatLargestFile;
    }
    return volume;
}

// One line of /proc/self/mountinfo, the fields this file needs.
struct Mount {
    std::string type;   // "fuse.fusefat", "fuseblk", "fuse"
    std::string source; // an image file, a block device, or whatever the tool calls it
};

// mountinfo writes a space, tab, newline and backslash in a path as an octal escape ("\040").
std::string unescaped(const std::string& field) {
    std::string result;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && std::isdigit(static_cast<unsigned char>(field[i + 1])) &&
            std::isdigit(static_cast<unsigned char>(field[i + 2])) &&
            std::isdigit(static_cast<unsigned char>(field[i + 3]))) {
            result += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            result += field[i];
        }
    }
    return result;
}

// The mount whose device is `device`, found by its "major:minor" field.
std::optional<Mount> mountOf(dev_t device) {
    const std::string wanted = std::to_string(major(device)) + ":" + std::to_string(minor(device));
    std::ifstream mountinfo("/proc/self/mountinfo");
    for (std::string line; std::getline(mountinfo, line);) {
        std::istringstream fields(line);
        std::string id, parent, numbers;
        fields >> id >> parent >> numbers;
        if (numbers != wanted) {
            continue;
        }
        // Optional fields run up to a lone "-"; the type and the source follow it.
        for (std::string field; fields >> field && field != "-";) {
        }
        Mount mount;
        fields >> mount.type >> mount.source;
        mount.source = unescaped(mount.source);
        return mount;
    }
    return std::nullopt;
}

// What the boot sector of an image file or a device says it holds, when it can be read.
std::optional<Volume::Kind> formatInBootSector(const std::string& source) {
    struct stat status {};
    if (source.empty() || source.front() != '/' || ::stat(source.c_str(), &status) != 0 ||
        (!S_ISREG(status.st_mode) && !S_ISBLK(status.st_mode))) {
        return std::nullopt;
    }
    const Descriptor fd(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    std::array<char, 512> sector{};
    if (!fd.isOpen() || ::pread(fd.get(), sector.data(), sector.size(), 0) != static_cast<ssize_t>(sector.size())) {
        return std::nullopt;
    }
    const std::string_view boot(sector.data(), sector.size());
    if (boot.substr(3, 8) == "NTFS    ") {
        return Volume::Kind::Ntfs;
    }
    if (boot.substr(3, 8) == "EXFAT   ") {
        return Volume::Kind::ExFat;
    }
    if (boot.substr(0x36, 3) == "FAT" || boot.substr(0x52, 3) == "FAT") {
        return Volume::Kind::Fat;
    }
    return std::nullopt;
}

// A FUSE mount's format, told by the tool's name in its type ("fuse.fusefat") or by its boot sector.
Volume::Kind kindOfFuseMount(const Mount& mount) {
    const std::string_view type(mount.type);
    const std::string_view subtype = type.starts_with("fuse.") ? type.substr(5) : std::string_view{};
    if (subtype == "fusefat" || subtype == "vfat" || subtype == "msdos") {
        return Volume::Kind::Fat;
    }
    if (subtype == "exfat") {
        return Volume::Kind::ExFat;
    }
    if (subtype == "ntfs" || subtype == "ntfs-3g" || subtype == "lowntfs-3g") {
        return Volume::Kind::Ntfs;
    }
    if (const std::optional<Volume::Kind> format = formatInBootSector(mount.source)) {
        return *format;
    }
    return type == "fuseblk" ? Volume::Kind::WindowsFamily : Volume::Kind::Ordinary;
}

// The length of `name` in UTF-16 units, as Windows formats count it; nothing when it is not valid UTF-8.
std::optional<size_t> utf16Length(std::string_view name) {
    size_t utf16Units = 0;
    for (size_t i = 0; i < name.size();) {
        const auto lead = static_cast<unsigned char>(name[i]);
        size_t length = 0;
        char32_t point = 0;
        if (lead < 0x80) {
            length = 1;
            point = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            point = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            point = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            point = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (i + length > name.size()) {
            return std::nullopt;
        }
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(name[i + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            point = (point << 6) | (next & 0x3F);
        }
        const bool overlong = (length == 3 && point < 0x800) || (length == 4 && point < 0x10000);
        if (overlong || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
            return std::nullopt;
        }
        utf16Units += point >= 0x10000 ? 2 : 1;
        i += length;
    }
    return utf16Units;
}

bool hasRefusedCharacter(std::string_view name) {
    return std::any_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || std::string_view("\"*:<>?\\|").find(c) != std::string_view::npos;
    });
}

bool isAscii(std::string_view name) {
    return std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Whether the folder takes a new file of a plain name: then a refusal of another name was about that
// name. The probe is removed at once.
bool takesAPlainName(int folderFd) {
    const std::string probe = ".foldwise-probe-" + std::to_string(::getpid());
    const Descriptor fd(::openat(folderFd, probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd.isOpen()) {
        return false;
    }
    ::unlinkat(folderFd, probe.c_str(), 0);
    return true;
}

// CON, PRN, AUX, NUL, COM1–9 and LPT1–9 name devices on Windows, whatever extension follows.
bool isReservedDeviceName(std::string_view name) {
    std::string stem(name.substr(0, name.find('.')));
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") {
        return true;
    }
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' && stem[3] <= '9';
}

} // namespace

Volume Volume::of(int folderFd) {
    struct statfs filesystem {};
    if (::fstatfs(folderFd, &filesystem) != 0) {
        return Volume{};
    }
    switch (static_cast<long>(filesystem.f_type)) {
    case msdosMagic:
        return volumeOfKind(Kind::Fat, false);
    case exfatMagic:
        return volumeOfKind(Kind::ExFat, false);
    case ntfsMagic:
    case ntfs3Magic:
        return volumeOfKind(Kind::Ntfs, true);
    case fuseMagic: {
        // Every FUSE file system hands out node numbers of its own making: none is stable.
        struct stat folder {};
        const std::optional<Mount> mount = ::fstat(folderFd, &folder) == 0 ? mountOf(folder.st_dev) : std::nullopt;
        Volume volume = volumeOfKind(mount ? kindOfFuseMount(*mount) : Kind::Ordinary, false);
        volume.asciiNamesOnly = mount && mount->type == "fuse.fusefat";
        return volume;
    }
    default:
        return Volume{};
    }
}

bool Volume::refusesName(std::string_view name) const {
    if (kind == Kind::Ordinary) {
        return false;
    }
    const std::optional<size_t> length = utf16Length(name);
    if (!length || *length > 255 || hasRefusedCharacter(name) || (asciiNamesOnly && !isAscii(name))) {
        return true;
    }
    if (kind != Kind::Ntfs && kind != Kind::Fat) {
        return false;
    }
    return isReservedDeviceName(name) || name.ends_with('.') || name.ends_with(' ');
}

bool Volume::isNameRefusal(int error, int folderFd, std::string_view name) {
    switch (error) {
    case EINVAL:
    case EILSEQ:
    case ENAMETOOLONG:
        return true;
    case EPERM:
    case ENOENT: {
        const Volume volume = of(folderFd);
        return volume.kind != Kind::Ordinary && (volume.refusesName(name) || takesAPlainName(folderFd));
    }
    default:
        return false;
    }
}

} // namespace foldwise

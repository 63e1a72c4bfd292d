#include "engine/FileSystem.h"

#include "engine/FileError.h"
#include "engine/Folder.h"
#include "engine/Lowercase.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace foldwise {

std::vector<fs::path> FileSystem::listVisible(const fs::path& folder) {
    std::vector<fs::path> entries;
    for (const std::string& name : Folder(folder).names(false)) {
        entries.push_back(folder / name);
    }
    return entries;
}

std::vector<fs::path> FileSystem::listAll(const fs::path& folder) {
    std::vector<fs::path> entries;
    for (const std::string& name : Folder(folder).names(true)) {
        entries.push_back(folder / name);
    }
    return entries;
}

bool FileSystem::exists(const fs::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

bool FileSystem::startAccessing(const fs::path& folder) noexcept {
    struct stat status {};
    return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           ::access(folder.c_str(), R_OK | X_OK) == 0;
}

void FileSystem::stopAccessing(const fs::path&) noexcept {}

std::string FileSystem::pathExtension(const fs::path& path) {
    return std::string(nameExtension(path.filename().native()));
}

std::string_view FileSystem::nameExtension(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return {};
    }
    return name.substr(dot + 1);
}

bool FileSystem::isPackageName(std::string_view name) {
    static constexpr std::array packageExtensions{"app", "bundle", "framework", "plugin", "kext"};
    const std::string extension = lowercased(nameExtension(name));
    for (const char* package : packageExtensions) {
        if (extension == package) {
            return true;
        }
    }
    return false;
}

std::string FileSystem::displayName(const fs::path& path) {
    return displayPath(path.filename());
}

std::string FileSystem::displayFolderName(const fs::path& folder) {
    const fs::path named = folder.has_filename() ? folder : folder.parent_path();
    const std::string name = displayName(named);
    return name.empty() ? displayPath(named) : name;
}

namespace {

// The length of the valid UTF-8 sequence that starts `bytes`, and its code point; length 0 when none does.
struct Utf8Sequence {
    std::size_t length = 0;
    char32_t codePoint = 0;
};

Utf8Sequence utf8SequenceAt(std::string_view bytes) {
    const auto byte = [&](std::size_t index) {
        return static_cast<unsigned char>(bytes[index]);
    };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return {1, lead};
    }
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t least = 0; // the smallest code point this length may encode: anything below is overlong
    if ((lead & 0xE0) == 0xC0) {
        length = 2, codePoint = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, codePoint = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, codePoint = lead & 0x07, least = 0x10000;
    } else {
        return {};
    }
    if (bytes.size() < length) {
        return {};
    }
    for (std::size_t index = 1; index < length; ++index) {
        if ((byte(index) & 0xC0) != 0x80) {
            return {};
        }
        codePoint = (codePoint << 6) | (byte(index) & 0x3F);
    }
    if (codePoint < least || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return {};
    }
    return {length, codePoint};
}

bool isControl(char32_t codePoint) {
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

void appendEscapedBytes(std::string& text, std::string_view bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += "\\x";
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
}

} // namespace

std::string FileSystem::displayPath(const fs::path& path) {
    std::string_view bytes = path.native();
    std::string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const Utf8Sequence sequence = utf8SequenceAt(bytes);
        const std::size_t length = sequence.length == 0 ? 1 : sequence.length;
        if (sequence.length == 0 || isControl(sequence.codePoint)) {
            appendEscapedBytes(text, bytes.substr(0, length));
        } else {
            text.append(bytes.substr(0, length));
        }
        bytes.remove_prefix(length);
    }
    return text;
}

} // namespace foldwise

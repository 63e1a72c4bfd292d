#include "engine/FileSystem.h"

#include "engine/FileError.h"
#include "engine/Folder.h"
#include "engine/Lowercase.h"

#include <QString>

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

void FileSystem::createDirectories(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        throw FileError("Could not create the folder " + quoted(folder) + ": " + error.message());
    }
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

std::string FileSystem::displayPath(const fs::path& path) {
    const std::string& bytes = path.native();
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

} // namespace foldwise

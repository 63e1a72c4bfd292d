#include "bench/ReferenceMover.h"

#include "engine/Categories.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace foldwise::bench {

namespace {

[[noreturn]] void fail(const char* what, const std::string& name) {
    throw std::runtime_error(std::string(what) + " " + name + ": " + std::strerror(errno));
}

// An open folder descriptor, closed on destruction.
class OpenFolder {
public:
    OpenFolder(int parentFd, const std::string& path) : fd_(::openat(parentFd, path.c_str(), flags)) {
        if (fd_ < 0) {
            fail("Could not open", path);
        }
    }
    OpenFolder(OpenFolder&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    OpenFolder& operator=(OpenFolder&&) = delete;
    ~OpenFolder() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int fd() const { return fd_; }

private:
    static constexpr int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd_;
};

std::vector<std::string> visibleNames(const OpenFolder& folder) {
    DIR* dir = ::fdopendir(::openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir == nullptr) {
        fail("Could not list", "a folder");
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.') {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(dir);
    return names;
}

bool isFile(int folderFd, const std::string& name) {
    struct stat status {};
    return ::fstatat(folderFd, name.c_str(), &status, 0) == 0 && !S_ISDIR(status.st_mode);
}

std::string subFolderFor(std::string_view name, ReferenceMover::Layout layout, CategoryCache& categories) {
    const std::size_t dot = name.rfind('.');
    std::string extension(dot == std::string_view::npos || dot == 0 ? std::string_view() : name.substr(dot + 1));
    if (layout == ReferenceMover::Layout::ByCategory) {
        return categories.categoryForExtension(extension);
    }
    for (char& c : extension) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return extension.empty() ? "other" : extension;
}

// True when moved, false when the destination name is taken.
bool moveNoReplace(int fromFd, const std::string& name, int toFd) {
    if (::renameat2(fromFd, name.c_str(), toFd, name.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EEXIST) {
        fail("Could not move", name);
    }
    return false;
}

} // namespace

std::size_t ReferenceMover::sort(const fs::path& input, const fs::path& output, Layout layout) {
    const OpenFolder in(AT_FDCWD, input);
    if (::mkdir(output.c_str(), 0755) != 0 && errno != EEXIST) {
        fail("Could not create", output);
    }
    const OpenFolder out(AT_FDCWD, output);
    std::unordered_map<std::string, OpenFolder> subFolders;
    CategoryCache categories;
    std::size_t moved = 0;
    for (const std::string& name : visibleNames(in)) {
        if (!isFile(in.fd(), name)) {
            continue;
        }
        const std::string subFolder = subFolderFor(name, layout, categories);
        auto found = subFolders.find(subFolder);
        if (found == subFolders.end()) {
            if (::mkdirat(out.fd(), subFolder.c_str(), 0755) != 0 && errno != EEXIST) {
                fail("Could not create", subFolder);
            }
            found = subFolders.emplace(subFolder, OpenFolder(out.fd(), subFolder)).first;
        }
        moved += moveNoReplace(in.fd(), name, found->second.fd()) ? 1 : 0;
    }
    return moved;
}

std::size_t ReferenceMover::moveBack(const fs::path& input, const fs::path& output) {
    const OpenFolder in(AT_FDCWD, input);
    const OpenFolder out(AT_FDCWD, output);
    std::size_t moved = 0;
    for (const std::string& subFolder : visibleNames(out)) {
        const OpenFolder sub(out.fd(), subFolder);
        for (const std::string& name : visibleNames(sub)) {
            if (isFile(sub.fd(), name)) {
                moved += moveNoReplace(sub.fd(), name, in.fd()) ? 1 : 0;
            }
        }
        ::unlinkat(out.fd(), subFolder.c_str(), AT_REMOVEDIR); // stays when something is left in it
    }
    return moved;
}

} // namespace foldwise::bench

#include "tests/stats/TempTree.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <string_view>

namespace foldwise::test {

static int openFolderAt(int at, const char* name) {
    return ::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

static fs::path withParents(const fs::path& path) {
    fs::create_directories(path.parent_path());
    return path;
}

fs::path TempTree::file(const fs::path& relative) const {
    const fs::path file = withParents(path() / relative);
    std::ofstream(file, std::ios::binary) << "x";
    return file;
}

fs::path TempTree::folder(const fs::path& relative) const {
    fs::create_directories(path() / relative);
    return path() / relative;
}

fs::path TempTree::link(const fs::path& relative, const fs::path& target) const {
    const fs::path link = withParents(path() / relative);
    fs::create_symlink(target, link);
    return link;
}

// Each level is reached through its open descriptor, /proc/self/fd/N: the path from the root would grow
// longer than the system accepts.
std::size_t TempTree::deepChain(const fs::path& relative, int levels, bool withSiblings) const {
    int fd = ::open(folder(relative).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::size_t files = 0;
    for (int level = 0; level < levels; ++level) {
        const fs::path here = "/proc/self/fd/" + std::to_string(fd);
        writeFile(here / "f.txt");
        ++files;
        for (const std::string_view folder : {"a", "d", "z"}) { // a sibling made before "d", one after it
            if (folder != "d" && withSiblings) {
                writeFile(makeFolder(here / folder) / "f.txt");
                ++files;
            } else if (folder == "d") {
                fs::create_directory(here / folder);
            }
        }
        const int next = openFolderAt(fd, "d");
        ::close(fd);
        fd = next;
    }
    ::close(fd);
    return files;
}

} // namespace foldwise::test

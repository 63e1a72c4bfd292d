#include "tests/support/TempFolder.h"

#include <fstream>
#include <sstream>

namespace foldwise::test {

fs::path makeFolder(const fs::path& folder) {
    fs::create_directories(folder);
    return folder;
}

void writeFile(const fs::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::set<std::string> treeOf(const fs::path& folder) {
    std::set<std::string> entries;
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it) {
        const std::string relative = it->path().lexically_relative(folder).string();
        entries.insert(it->is_directory() && !it->is_symlink() ? relative + "/" : relative);
    }
    return entries;
}

} // namespace foldwise::test

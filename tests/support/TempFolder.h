#pragma once

#include "tests/support/ScratchFolder.h"

#include <filesystem>
#include <set>
#include <string>

namespace foldwise::test {
namespace fs = std::filesystem;

// A fresh folder that is removed with everything in it when the test ends.
class TempFolder : public ScratchFolder {
public:
    explicit TempFolder(const fs::path& base = fs::temp_directory_path()) : ScratchFolder(base) {}
    fs::path operator/(const std::string& relative) const { return path() / relative; }
};

// Creates `folder`, with the folders above it, and returns it.
fs::path makeFolder(const fs::path& folder);
void writeFile(const fs::path& file, const std::string& content = "content");
std::string readFile(const fs::path& file);

// Every entry below `folder`, as paths relative to it, hidden ones included; folders end in "/".
std::set<std::string> treeOf(const fs::path& folder);

} // namespace foldwise::test

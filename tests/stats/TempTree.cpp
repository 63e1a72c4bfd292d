#include "TempTree.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <stdlib.h>

namespace foldwise::testing {

TempTree::TempTree(const fs::path& base) {
    std::string pattern = (base / "foldwise-stats-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed in " + base.string());
    }
    root_ = pattern;
}

TempTree::~TempTree() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

fs::path TempTree::file(const fs::path& relative) const {
    const fs::path path = root_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << "x";
    return path;
}

fs::path TempTree::folder(const fs::path& relative) const {
    fs::create_directories(root_ / relative);
    return root_ / relative;
}

fs::path TempTree::link(const fs::path& relative, const fs::path& target) const {
    const fs::path path = root_ / relative;
    fs::create_directories(path.parent_path());
    fs::create_symlink(target, path);
    return path;
}

fs::path TempTree::fifo(const fs::path& relative) const {
    const fs::path path = root_ / relative;
    fs::create_directories(path.parent_path());
    if (::mkfifo(path.c_str(), 0644) != 0) {
        throw std::runtime_error("mkfifo failed for " + path.string());
    }
    return path;
}

std::string captureStdout(const std::function<void()>& call) {
    std::fflush(stdout);
    std::FILE* capture = std::tmpfile();
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(::fileno(capture), STDOUT_FILENO);
    call();
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);

    std::rewind(capture);
    std::ostringstream text;
    for (int c = std::fgetc(capture); c != EOF; c = std::fgetc(capture)) {
        text.put(static_cast<char>(c));
    }
    std::fclose(capture);
    return text.str();
}

} // namespace foldwise::testing

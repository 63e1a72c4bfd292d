#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace foldwise::bench {
namespace fs = std::filesystem;

// A fresh folder below `parent`, removed with everything in it when this goes away: by rm, which removes
// trees of any depth, where paths grow longer than the system accepts, after chmod has opened any
// folder that was locked. The tests use it too.
class ScratchFolder {
public:
    explicit ScratchFolder(const fs::path& parent) {
        std::string pattern = (parent / "foldwise-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("Could not make a scratch folder in " + parent.string());
        }
        path_ = pattern;
    }
    ~ScratchFolder() {
        const std::string quoted = "'" + path_.string() + "'";
        std::system(("chmod -R u+rwx " + quoted + " 2>/dev/null; rm -rf " + quoted).c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

} // namespace foldwise::bench

#pragma once

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace foldwise::test {
namespace fs = std::filesystem;

// A fresh folder below `parent`, removed with everything in it when this goes away: by rm, which removes
// trees of any depth, where paths grow longer than the system accepts, after chmod has opened any
// folder that was locked. The benchmarks use it too.
class ScratchFolder {
public:
    explicit ScratchFolder(const fs::path& parent) {
        std::string pattern = (parent / "foldwise-scratch-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("Could not make a scratch folder in " + parent.string());
        }
        path_ = pattern;
    }
    ~ScratchFolder() {
        run({"chmod", "-R", "u+rwx", "--", path_.c_str()});
        run({"rm", "-rf", "--", path_.c_str()});
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    // Runs a program with these arguments, no shell between to read the path, and waits for it.
    static void run(std::initializer_list<const char*> arguments) {
        std::vector<char*> argv;
        for (const char* argument : arguments) {
            argv.push_back(const_cast<char*>(argument));
        }
        argv.push_back(nullptr);
        pid_t child = 0;
        if (::posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) == 0) {
            ::waitpid(child, nullptr, 0);
        }
    }

    fs::path path_;
};

} // namespace foldwise::test

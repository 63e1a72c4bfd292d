#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace foldwise::testing {
namespace fs = std::filesystem;

// A temporary folder, removed with everything in it at the end of the test, with helpers that make
// entries of every kind below it. Paths given to the helpers are relative to the root; missing
// parent folders are made on the way.
class TempTree {
public:
    explicit TempTree(const fs::path& base = fs::temp_directory_path());
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const fs::path& root() const { return root_; }

    fs::path file(const fs::path& relative) const;
    fs::path folder(const fs::path& relative) const;
    fs::path link(const fs::path& relative, const fs::path& target) const;
    fs::path fifo(const fs::path& relative) const;

private:
    fs::path root_;
};

// Everything the call writes to standard output (file descriptor 1), as bytes.
std::string captureStdout(const std::function<void()>& call);

} // namespace foldwise::testing

#pragma once

#include "engine/FileSystem.h"

#include <filesystem>
#include <utility>

namespace foldwise {
namespace fs = std::filesystem;

// Access to one folder for the length of a scope: started when made, and stopped on every way out
// when it was granted.
class FolderAccess {
public:
    explicit FolderAccess(fs::path folder)
        : folder_(std::move(folder)), isGranted_(FileSystem::startAccessing(folder_)) {}
    ~FolderAccess() { stop(); }
    FolderAccess(const FolderAccess&) = delete;
    FolderAccess& operator=(const FolderAccess&) = delete;

    bool isGranted() const { return isGranted_; }

    void stop() noexcept {
        if (isGranted_) {
            FileSystem::stopAccessing(folder_);
            isGranted_ = false;
        }
    }

private:
    fs::path folder_;
    bool isGranted_;
};

// Access to an input and an output folder for one operation: started input first, and stopped
// input first.
class FolderPairAccess {
public:
    FolderPairAccess(const fs::path& input, const fs::path& output) : input_(input), output_(output) {}
    ~FolderPairAccess() {
        input_.stop();
        output_.stop();
    }
    FolderPairAccess(const FolderPairAccess&) = delete;
    FolderPairAccess& operator=(const FolderPairAccess&) = delete;

private:
    FolderAccess input_;
    FolderAccess output_;
};

} // namespace foldwise

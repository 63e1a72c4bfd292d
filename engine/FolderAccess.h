#pragma once

#include "engine/FileSystem.h"

#include <filesystem>

namespace foldwise {
namespace fs = std::filesystem;

// Access to an input and an output folder for the length of one operation: started on both, input
// first, and stopped on every way out, input first, for each start that was granted.
class FolderAccess {
public:
    FolderAccess(const fs::path& input, const fs::path& output)
        : input_(input), output_(output), inputGranted_(FileSystem::startAccessing(input)),
          outputGranted_(FileSystem::startAccessing(output)) {}

    ~FolderAccess() {
        if (inputGranted_) {
            FileSystem::stopAccessing(input_);
        }
        if (outputGranted_) {
            FileSystem::stopAccessing(output_);
        }
    }

    FolderAccess(const FolderAccess&) = delete;
    FolderAccess& operator=(const FolderAccess&) = delete;

private:
    fs::path input_;
    fs::path output_;
    bool inputGranted_;
    bool outputGranted_;
};

} // namespace foldwise

#pragma once

#include "engine/FileError.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace foldwise {
namespace fs = std::filesystem;

// The errors of one move. Each names the file, the folder that refused and why:
// "Could not move “a.txt” to “/out/txt”: No space left on device" when the destination refused,
// "Could not move “a.txt” out of “/in”: Permission denied" when the source's folder did.
class MoveFailure {
public:
    MoveFailure(std::string_view fileName, std::string sourceFolder, std::string destinationFolder);

    FileError atDestination(int error) const;
    FileError atDestination(std::string_view reason) const;
    FileError atSource(int error) const;
    FileError atSource(std::string_view reason) const;

    // For a refusal that either side may have made (EACCES, EPERM, EROFS): blames the source's folder
    // when it cannot be written, else the destination.
    FileError refused(int error, int sourceFolderFd) const;

private:
    std::string fileName_;
    std::string sourceFolder_;
    std::string destinationFolder_;
};

} // namespace foldwise

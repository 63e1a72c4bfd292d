#include "engine/MoveFailure.h"

#include "engine/FileSystem.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <system_error>
#include <unistd.h>

namespace foldwise {

namespace {

std::string reasonFor(int error) {
    return std::generic_category().message(error);
}

bool canWrite(int folderFd) {
    struct statvfs volume {};
    if (::fstatvfs(folderFd, &volume) == 0 && (volume.f_flag & ST_RDONLY) != 0) {
        return false;
    }
    return ::faccessat(folderFd, ".", W_OK | X_OK, AT_EACCESS) == 0;
}

} // namespace

MoveFailure::MoveFailure(std::string_view fileName, std::string sourceFolder, std::string destinationFolder)
    : fileName_(fileName), sourceFolder_(std::move(sourceFolder)), destinationFolder_(std::move(destinationFolder)) {}

FileError MoveFailure::atDestination(int error) const {
    return FileError(atDestination(reasonFor(error)).localizedDescription(), error);
}

FileError MoveFailure::atDestination(std::string_view reason) const {
    return FileError("Could not move " + FileSystem::quoted(fileName_) + " to " +
                     FileSystem::quoted(destinationFolder_) + ": " + std::string(reason));
}

FileError MoveFailure::atSource(int error) const {
    return FileError(atSource(reasonFor(error)).localizedDescription(), error);
}

FileError MoveFailure::atSource(std::string_view reason) const {
    return FileError("Could not move " + FileSystem::quoted(fileName_) + " out of " +
                     FileSystem::quoted(sourceFolder_) + ": " + std::string(reason));
}

FileError MoveFailure::refused(int error, int sourceFolderFd) const {
    return canWrite(sourceFolderFd) ? atDestination(error) : atSource(error);
}

} // namespace foldwise

#include "engine/FileFate.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace foldwise {

FileFate fateOf(MoveResult result) {
    switch (result) {
    case MoveResult::Moved:
        return FileFate::Moved;
    case MoveResult::DestinationExists:
        return FileFate::NameTaken;
    case MoveResult::SourceVanished:
        return FileFate::Vanished;
    case MoveResult::Cancelled:
    case MoveResult::DestinationFolderGone:
        break;
    }
    return FileFate::Cancelled;
}

std::optional<FileFate> unmovable(const Folder& folder, const std::string& name) {
    struct stat status {};
    if (::fstatat(folder.fd(), name.c_str(), &status, 0) != 0) {
        return folder.isAnything(name) ? FileFate::NotRegular : FileFate::Vanished; // a dangling link is no file
    }
    if (S_ISDIR(status.st_mode)) {
        return FileFate::NotAFile;
    }
    return S_ISREG(status.st_mode) ? std::nullopt : std::optional(FileFate::NotRegular);
}

void count(RunOutcome& outcome, FileFate fate) {
    switch (fate) {
    case FileFate::Moved:
        ++outcome.moved;
        break;
    case FileFate::NameTaken:
        ++outcome.nameTaken;
        break;
    case FileFate::NotRegular:
        ++outcome.notRegular;
        break;
    case FileFate::Vanished:
        ++outcome.vanished;
        break;
    case FileFate::NotAFile:
    case FileFate::Cancelled:
        break;
    }
}

} // namespace foldwise

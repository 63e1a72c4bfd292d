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
    case MoveResult::NameRefused:
        return FileFate::NameRefused;
    case MoveResult::TooLarge:
        return FileFate::TooLarge;
    case MoveResult::Cancelled:
    case MoveResult::DestinationFolderGone:
        break;
    }
    return FileFate::Cancelled;
}

namespace {

std::optional<FileFate> unmovableKind(mode_t mode) {
    if (S_ISDIR(mode)) {
        return FileFate::NotAFile;
    }
    return S_ISREG(mode) ? std::nullopt : std::optional(FileFate::NotRegular);
}

} // namespace

Candidate examine(const Folder& folder, const std::string& name) {
    struct stat status {};
    if (::fstatat(folder.fd(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return Candidate{FileFate::Vanished, {}};
    }
    const FileIdentity identity{status.st_dev, status.st_ino};
    const auto size = static_cast<std::uint64_t>(status.st_size); // a link moves as itself
    if (S_ISLNK(status.st_mode) && ::fstatat(folder.fd(), name.c_str(), &status, 0) != 0) {
        return Candidate{FileFate::NotRegular, identity}; // a dangling link is no file
    }
    return Candidate{unmovableKind(status.st_mode), identity, size};
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
    case FileFate::NameRefused:
        ++outcome.nameRefused;
        break;
    case FileFate::TooLarge:
        ++outcome.tooLarge;
        break;
    case FileFate::FolderBlocked:
        ++outcome.folderBlocked;
        break;
    case FileFate::InUse:
        ++outcome.inUse;
        break;
    case FileFate::Vanished:
        ++outcome.vanished;
        break;
    case FileFate::Gone:
        ++outcome.gone;
        break;
    case FileFate::NotAFile:
    case FileFate::NeverMoved:
    case FileFate::Cancelled:
        break;
    }
}

std::optional<StayReason> stayReasonOf(FileFate fate) {
    switch (fate) {
    case FileFate::NameTaken:
        return StayReason::NameTaken;
    case FileFate::NotRegular:
        return StayReason::NotRegular;
    case FileFate::NameRefused:
        return StayReason::NameRefused;
    case FileFate::TooLarge:
        return StayReason::TooLarge;
    case FileFate::FolderBlocked:
        return StayReason::FolderBlocked;
    case FileFate::InUse:
        return StayReason::InUse;
    case FileFate::Vanished:
        return StayReason::Vanished;
    case FileFate::Gone:
        return StayReason::Gone;
    case FileFate::Moved:
    case FileFate::NotAFile:
    case FileFate::NeverMoved:
    case FileFate::Cancelled:
        break;
    }
    return std::nullopt;
}

} // namespace foldwise

#include "engine/SubFolders.h"

#include "engine/TemporaryCopies.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <system_error>

namespace foldwise {

namespace {

constexpr const char* kLinkProblem = "it is a link, not a folder";

std::optional<std::string> problemWith(mode_t mode) {
    if (S_ISLNK(mode)) {
        return kLinkProblem;
    }
    if (!S_ISDIR(mode)) {
        return std::generic_category().message(ENOTDIR);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> subFolderProblem(const Folder& output, const std::string& name) {
    struct stat status {};
    if (::fstatat(output.fd(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    return problemWith(status.st_mode);
}

bool isLinkProblem(const std::string& problem) {
    return problem == kLinkProblem;
}

const SubFolders::SubFolder& SubFolders::current(const std::string& name, const MoveFailure& failure) {
    bool madeHere = false;
    for (int attempt = 0;; ++attempt) {
        struct stat status {};
        if (::fstatat(output_.fd(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT || attempt > 0) {
                throw failure.atDestination(errno);
            }
            if (::mkdirat(output_.fd(), name.c_str(), 0777) == 0) {
                madeHere = true;
            } else if (errno != EEXIST) {
                throw failure.atDestination(errno);
            }
            continue; // look at what is there now, made by us or by someone else meanwhile
        }
        if (const std::optional<std::string> problem = problemWith(status.st_mode)) {
            throw FileError(failure.atDestination(*problem).localizedDescription(),
                            S_ISLNK(status.st_mode) ? ELOOP : ENOTDIR);
        }
        const FileIdentity identity{status.st_dev, status.st_ino};
        if (madeHere) {
            made_(name, identity);
        }
        const auto found = open_.find(name);
        if (found != open_.end() && found->second.identity == identity) {
            return found->second;
        }
        return openAnew(name, identity, failure);
    }
}

const SubFolders::SubFolder& SubFolders::openAnew(const std::string& name, const FileIdentity& identity,
                                                  const MoveFailure& failure) {
    open_.erase(name);
    std::optional<Folder> folder;
    try {
        folder.emplace(output_, name);
    } catch (const FileError& error) {
        if (error.errorNumber() == ELOOP) {
            throw failure.atDestination(kLinkProblem);
        }
        throw failure.atDestination(error.errorNumber());
    }
    if (folder->identity() != identity) {
        throw failure.atDestination("it was replaced while the file was moved");
    }
    if (sweepAbandonedCopies_) {
        removeAbandonedCopies(folder->fd());
    }
    return open_.emplace(name, SubFolder{identity, std::move(*folder)}).first->second;
}

} // namespace foldwise

#include "cli/RememberedChoices.h"

#include "cli/CommandFailure.h"
#include "cli/UsageError.h"
#include "engine/FileError.h"
#include "engine/FileSystem.h"
#include "engine/Folder.h"
#include "engine/History.h"
#include "engine/SortMode.h"
#include "prefs/FolderBookmarks.h"
#include "prefs/Preferences.h"

#include <cerrno>
#include <optional>
#include <sys/stat.h>

namespace foldwise {
namespace {

std::optional<fs::path> remembered(const std::optional<QByteArray>& bookmark, const char* which) {
    if (!bookmark) {
        return std::nullopt;
    }
    std::optional<fs::path> folder = resolveBookmark(*bookmark); // says why on standard error when it fails
    if (!folder) {
        throw CommandFailure(std::string("The remembered ") + which +
                             " folder could not be found (see above). Give the folders on the command line, or "
                             "choose them again in the window's Settings.");
    }
    return folder;
}

// An empty argument names no folder (and has no absolute path): a variable left unset in a script.
fs::path givenFolder(const std::string& given, const char* which) {
    if (given.empty()) {
        throw UsageError(std::string(which) + " is empty: give the path of a folder (“.” is the current one)");
    }
    return History::recordedPath(given);
}

} // namespace

FolderPair RememberedChoices::folders(const std::vector<std::string>& given, std::string_view command) {
    if (given.size() == 2) {
        return {givenFolder(given[0], "INPUT"), givenFolder(given[1], "OUTPUT")};
    }
    if (given.size() == 1) {
        throw UsageError("give both INPUT and OUTPUT, or neither to use the folders the window remembers");
    }
    const Preferences& preferences = Preferences::shared();
    const std::optional<fs::path> input = remembered(preferences.inputFolderBookmark(), "input");
    const std::optional<fs::path> output = remembered(preferences.outputFolderBookmark(), "output");
    if (!input || !output) {
        throw UsageError("no folders given and none remembered: give them, as in “foldwise " + std::string(command) +
                         " ~/Downloads ~/Sorted”, or choose them once in the window's Settings");
    }
    return {History::recordedPath(*input), History::recordedPath(*output)};
}

fs::path RememberedChoices::inputFolder(const std::vector<std::string>& given, std::string_view command) {
    if (!given.empty()) {
        return givenFolder(given.front(), "FOLDER");
    }
    const std::optional<fs::path> input = remembered(Preferences::shared().inputFolderBookmark(), "input");
    if (!input) {
        throw UsageError("no folder given and none remembered: give one, as in “foldwise " + std::string(command) +
                         " ~/Downloads”, or choose the input folder once in the window's Settings");
    }
    return History::recordedPath(*input);
}

bool RememberedChoices::useSmartCategories(const std::optional<QString>& by) {
    if (!by) {
        return Preferences::shared().useSmartCategories();
    }
    if (const std::optional<SortMode> mode = sortModeFromKey(by->toStdString())) {
        return usesSmartCategories(*mode);
    }
    throw UsageError("--by takes “category” or “extension”, not “" + by->toStdString() + "”");
}

OnNameTaken RememberedChoices::onNameTaken(const std::optional<QString>& ifTaken) {
    if (!ifTaken) {
        return Preferences::shared().onNameTaken();
    }
    if (*ifTaken == QStringLiteral("leave")) {
        return OnNameTaken::Leave;
    }
    if (*ifTaken == QStringLiteral("keep-both")) {
        return OnNameTaken::KeepBoth;
    }
    throw UsageError("--if-taken takes “leave” or “keep-both”, not “" + ifTaken->toStdString() + "”");
}

void RememberedChoices::openInput(const fs::path& input) {
    const Folder opened(input);
}

bool RememberedChoices::makeOutput(const fs::path& output, bool dryRun) {
    struct stat status {};
    if (::lstat(output.c_str(), &status) == 0) {
        return false; // whatever is there, the run finds it and says what it is
    }
    const fs::path parent = output.parent_path();
    if (::stat(parent.c_str(), &status) != 0 && errno == ENOENT) {
        throw FileError("Could not create the folder " + FileSystem::quoted(output) + ": the folder " +
                            FileSystem::quoted(parent) + " does not exist",
                        ENOENT);
    }
    if (dryRun) {
        return false;
    }
    if (::mkdir(output.c_str(), 0777) != 0) {
        if (errno == EEXIST) {
            return false; // made meanwhile by someone else
        }
        throw FileError::fromErrno("Could not create the folder " + FileSystem::quoted(output), errno);
    }
    return true;
}

} // namespace foldwise

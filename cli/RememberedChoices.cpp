#include "cli/RememberedChoices.h"

#include "cli/CommandFailure.h"
#include "cli/UsageError.h"
#include "engine/History.h"
#include "prefs/FolderBookmarks.h"
#include "prefs/Preferences.h"

#include <optional>

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

} // namespace

FolderPair RememberedChoices::folders(const std::vector<std::string>& given, std::string_view command) {
    if (given.size() == 2) {
        return {History::recordedPath(given[0]), History::recordedPath(given[1])};
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
        return History::recordedPath(given.front());
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
    if (*by == QStringLiteral("category")) {
        return true;
    }
    if (*by == QStringLiteral("extension")) {
        return false;
    }
    throw UsageError("--by takes “category” or “extension”, not “" + by->toStdString() + "”");
}

} // namespace foldwise

#include "prefs/FolderBookmarks.h"

#include "engine/Diagnostics.h"
#include "engine/FileError.h"
#include "engine/FileSystem.h"
#include "engine/FolderAccess.h"
#include "prefs/Bookmarks.h"
#include "prefs/Preferences.h"

namespace foldwise {
namespace {

void restoreFolder(const std::optional<QByteArray>& bookmark, std::optional<fs::path>& selectedFolderURL) {
    if (!bookmark) {
        return;
    }
    if (auto folder = resolveBookmark(*bookmark)) {
        selectedFolderURL = std::move(folder);
    }
}

} // namespace

std::optional<std::string> saveBookmark(Preferences& preferences, const fs::path& folder, bool isInput) {
    const FolderAccess access(folder);
    if (!access.isGranted()) {
        return "Failed to access folder for bookmarking.";
    }
    std::string failure;
    try {
        const QByteArray bookmark = Bookmarks::create(folder);
        const bool isStored =
            isInput ? preferences.setInputFolderBookmark(bookmark) : preferences.setOutputFolderBookmark(bookmark);
        if (isStored) {
            return std::nullopt;
        }
        failure = "Failed to save bookmark: Could not write the preferences file “" +
                  preferences.fileName().toStdString() + "”.";
    } catch (const FileError& error) {
        failure = "Failed to save bookmark: " + error.localizedDescription();
    }
    printDiagnosticLine(failure);
    return failure;
}

std::optional<fs::path> resolveBookmark(const QByteArray& bytes) {
    try {
        ResolvedBookmark resolved = Bookmarks::resolve(bytes);
        if (resolved.isStale) {
            printDiagnosticLine("Bookmark is stale for " + FileSystem::displayPath(resolved.folder));
        }
        return std::move(resolved.folder);
    } catch (const FileError& error) {
        printDiagnosticLine("Failed to restore URL: " + error.localizedDescription());
        return std::nullopt;
    }
}

void restoreFolders(const Preferences& preferences, std::optional<fs::path>& selectedInputFolderURL,
                    std::optional<fs::path>& selectedOutputFolderURL) {
    restoreFolder(preferences.inputFolderBookmark(), selectedInputFolderURL);
    restoreFolder(preferences.outputFolderBookmark(), selectedOutputFolderURL);
}

} // namespace foldwise

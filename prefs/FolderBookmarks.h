#pragma once

#include <QByteArray>

#include <filesystem>
#include <optional>
#include <string>

namespace foldwise {
namespace fs = std::filesystem;

class Preferences;

// Stores the bookmark of a folder the user picked: the input folder's when `isInput`, else the
// output folder's. Returns the failure text for the status line, shown in red: "Failed to access
// folder for bookmarking." (nothing printed) or "Failed to save bookmark: …" (also printed); nothing
// on success, when the status line stays as it was. A failure leaves the stored bookmark as it was.
std::optional<std::string> saveBookmark(Preferences& preferences, const fs::path& folder, bool isInput);

// Resolves stored bookmark bytes into a folder, printing "Failed to restore URL: …" when that fails
// (and returning nothing) or "Bookmark is stale for …" when the folder found is not the one bookmarked.
std::optional<fs::path> resolveBookmark(const QByteArray& bytes);

// Resolves both stored bookmarks, input folder first, into the window's folder selection. A folder
// whose bookmark is absent or does not resolve keeps its value. Writes nothing to the preferences.
void restoreFolders(const Preferences& preferences, std::optional<fs::path>& selectedInputFolderURL,
                    std::optional<fs::path>& selectedOutputFolderURL);

} // namespace foldwise

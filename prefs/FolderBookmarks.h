#pragma once

#include <QByteArray>

#include <filesystem>
#include <optional>
#include <string>

namespace foldwise {
namespace fs = std::filesystem;

class Preferences;

// Stores the bookmark of a folder the user picked: the input folder's when `isInput`, else the
// output folder's. Returns the failure text for the status line ("Failed to access folder for
// bookmarking." or "Failed to save bookmark: …", the latter also printed), or nothing on success.
// A failure leaves the stored bookmark as it was.
std::optional<std::string> saveBookmark(Preferences& preferences, const fs::path& folder, bool isInput);

// Resolves stored bookmark bytes, printing "Failed to restore URL: …" or "Bookmark is stale for …".
std::optional<fs::path> resolveBookmark(const QByteArray& bytes);

// Resolves both stored bookmarks, input folder first, into the window's folder selection. A folder
// whose bookmark is absent or does not resolve keeps its value.
void restoreFolders(const Preferences& preferences, std::optional<fs::path>& selectedInputFolderURL,
                    std::optional<fs::path>& selectedOutputFolderURL);

} // namespace foldwise

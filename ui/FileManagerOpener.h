#pragma once

#include <QUrl>

#include <filesystem>
#include <functional>

namespace foldwise {

// Opens a folder in the desktop's file manager. What opens the folder's URL is the desktop's
// (QDesktopServices::openUrl) unless tests put their own in its place; it returns whether it could.
class FileManagerOpener {
public:
    FileManagerOpener() = delete;

    using UrlOpener = std::function<bool(const QUrl& url)>;
    static bool showInFiles(const std::filesystem::path& folder);
    static void setUrlOpener(UrlOpener opener); // an empty one puts the desktop's back
};

} // namespace foldwise

#include "ui/FileManagerOpener.h"

#include <QDesktopServices>
#include <QFile>

namespace foldwise {
namespace {

FileManagerOpener::UrlOpener& urlOpener() {
    static FileManagerOpener::UrlOpener opener;
    return opener;
}

} // namespace

bool FileManagerOpener::showInFiles(const std::filesystem::path& folder) {
    // QFile::decodeName keeps a name that is not UTF-8 as the bytes it has on disk.
    const QUrl url = QUrl::fromLocalFile(QFile::decodeName(folder.native().c_str()));
    const UrlOpener& opener = urlOpener();
    return opener ? opener(url) : QDesktopServices::openUrl(url);
}

void FileManagerOpener::setUrlOpener(UrlOpener opener) {
    urlOpener() = std::move(opener);
}

} // namespace foldwise

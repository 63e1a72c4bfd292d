#include "ui/FolderPicker.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>

namespace foldwise {

std::optional<std::filesystem::path>
DialogFolderPicker::pickFolder(QWidget* parent, const QString& title,
                               const std::optional<std::filesystem::path>& startFolder) {
    // Where the folder already chosen is, else the home folder (an empty start would be the working directory).
    const QString start = startFolder ? QFile::decodeName(startFolder->native().c_str()) : QDir::homePath();
    const QString chosen = QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(QFile::encodeName(chosen).toStdString());
}

} // namespace foldwise

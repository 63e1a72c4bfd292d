#include "wording/Quote.h"

#include "engine/FileSystem.h"

namespace foldwise {

QString Quote::name(const std::filesystem::path& path) {
    return text(QString::fromStdString(FileSystem::displayFolderName(path)));
}

QString Quote::path(const std::filesystem::path& path) {
    return text(QString::fromStdString(FileSystem::displayPath(path)));
}

QString Quote::text(const QString& text) {
    return QStringLiteral("“") + text + QStringLiteral("”");
}

QString Quote::bytes(const std::string& bytes) {
    return path(std::filesystem::path(bytes));
}

} // namespace foldwise

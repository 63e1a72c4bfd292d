#include "prefs/StoppedRunNote.h"

#include <QByteArray>
#include <QSettings>
#include <QString>

#include <string>

namespace foldwise {
namespace {

const QString noteGroup = QStringLiteral("stoppedRun");

QByteArray bytesOf(const std::filesystem::path& path) {
    return QByteArray::fromStdString(path.native());
}

} // namespace

void StoppedRunNote::keep() const {
    QSettings settings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise"));
    settings.beginGroup(noteGroup);
    settings.setValue(QStringLiteral("kind"), QString::fromLatin1(runKindKey(kind)));
    settings.setValue(QStringLiteral("input"), bytesOf(input)); // bytes: a name need not be UTF-8
    settings.setValue(QStringLiteral("output"), bytesOf(output));
    settings.setValue(QStringLiteral("moved"), qint64(moved));
    settings.setValue(QStringLiteral("left"), qint64(left));
    settings.endGroup();
    settings.sync();
}

std::optional<StoppedRunNote> StoppedRunNote::take() {
    QSettings settings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise"));
    if (!settings.childGroups().contains(noteGroup)) {
        return std::nullopt;
    }
    settings.beginGroup(noteGroup);
    const std::optional<RunKind> kind = runKindFromKey(settings.value(QStringLiteral("kind")).toString().toStdString());
    StoppedRunNote note{
        kind.value_or(RunKind::Sort), settings.value(QStringLiteral("input")).toByteArray().toStdString(),
        settings.value(QStringLiteral("output")).toByteArray().toStdString(),
        settings.value(QStringLiteral("moved")).toLongLong(), settings.value(QStringLiteral("left")).toLongLong()};
    settings.endGroup();
    settings.remove(noteGroup);
    settings.sync();
    if (!kind) {
        return std::nullopt; // written by a version that knew other runs
    }
    return note;
}

} // namespace foldwise

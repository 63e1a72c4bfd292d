#include "prefs/Preferences.h"

#include <QSettings>
#include <QString>
#include <QVariant>

namespace foldwise {
namespace {

const QString organisationName = QStringLiteral("Foldwise");
const QString applicationName = QStringLiteral("Foldwise");

const QString inputFolderBookmarkKey = QStringLiteral("inputFolderBookmark");
const QString outputFolderBookmarkKey = QStringLiteral("outputFolderBookmark");
const QString useSmartCategoriesKey = QStringLiteral("useSmartCategories");
const QString onNameTakenKey = QStringLiteral("onNameTaken");

const QString keepBothValue = QStringLiteral("keepBoth");
const QString leaveValue = QStringLiteral("leave");

std::optional<QByteArray> readBytes(const QString& key) {
    const QSettings settings(organisationName, applicationName);
    if (!settings.contains(key)) {
        return std::nullopt;
    }
    return settings.value(key).toByteArray();
}

} // namespace

Preferences& Preferences::shared() {
    static Preferences instance;
    return instance;
}

std::optional<QByteArray> Preferences::inputFolderBookmark() const {
    return readBytes(inputFolderBookmarkKey);
}

std::optional<QByteArray> Preferences::outputFolderBookmark() const {
    return readBytes(outputFolderBookmarkKey);
}

bool Preferences::useSmartCategories() const {
    // A bool stored by an earlier run comes back as the text "true" or "false": only toBool() reads both.
    const QSettings settings(organisationName, applicationName);
    return settings.value(useSmartCategoriesKey, true).toBool();
}

OnNameTaken Preferences::onNameTaken() const {
    // Read as text, as a new process reads every entry; a value this version does not know leaves files be.
    const QSettings settings(organisationName, applicationName);
    return settings.value(onNameTakenKey).toString() == keepBothValue ? OnNameTaken::KeepBoth : OnNameTaken::Leave;
}

bool Preferences::setInputFolderBookmark(const QByteArray& bookmark) {
    return write(inputFolderBookmarkKey, bookmark);
}

bool Preferences::setOutputFolderBookmark(const QByteArray& bookmark) {
    return write(outputFolderBookmarkKey, bookmark);
}

bool Preferences::setUseSmartCategories(bool useSmartCategories) {
    return write(useSmartCategoriesKey, useSmartCategories);
}

bool Preferences::setOnNameTaken(OnNameTaken onNameTaken) {
    return write(onNameTakenKey, onNameTaken == OnNameTaken::KeepBoth ? keepBothValue : leaveValue);
}

QString Preferences::fileName() const {
    return QSettings(organisationName, applicationName).fileName();
}

bool Preferences::write(const QString& key, const QVariant& value) {
    QSettings settings(organisationName, applicationName);
    // A value set but never written would be written later, once the file can be written again,
    // so refuse it up front.
    if (!settings.isWritable()) {
        return false;
    }
    const bool hadValue = settings.contains(key);
    const QVariant previous = settings.value(key);
    settings.setValue(key, value);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        if (hadValue) {
            settings.setValue(key, previous);
        } else {
            settings.remove(key);
        }
        return false;
    }
    emit changed();
    return true;
}

} // namespace foldwise

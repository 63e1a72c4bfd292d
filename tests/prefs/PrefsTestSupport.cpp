#include "tests/prefs/PrefsTestSupport.h"

#include <QSettings>

#include <cstdlib>
#include <fstream>

namespace foldwise::testing {

fs::path madeFolder(const fs::path& folder) {
    fs::create_directories(folder);
    return folder;
}

void clearPreferences() {
    QSettings settings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise"));
    settings.clear();
    settings.sync();
}

fs::path preferencesFile() {
    return fs::path(std::getenv("XDG_CONFIG_HOME")) / "Foldwise" / "Foldwise.conf";
}

std::string describe(const Preferences& preferences) {
    const auto hex = [](const std::optional<QByteArray>& bytes) {
        return bytes ? bytes->toHex().toStdString() : std::string("absent");
    };
    return "input=" + hex(preferences.inputFolderBookmark()) + " output=" + hex(preferences.outputFolderBookmark()) +
           " smart=" + (preferences.useSmartCategories() ? "true" : "false") + "\n";
}

UnwritablePreferences::UnwritablePreferences()
    : folder_(preferencesFile().parent_path()), aside_(folder_.native() + ".aside") {
    fs::create_directories(folder_);
    fs::rename(folder_, aside_);
    std::ofstream(folder_) << "not a folder";
}

UnwritablePreferences::~UnwritablePreferences() {
    fs::remove(folder_);
    fs::rename(aside_, folder_);
}

} // namespace foldwise::testing

#include "tests/prefs/PrefsTestSupport.h"

#include <QSettings>

#include <cstdlib>

namespace foldwise::test {

void clearPreferences() {
    QSettings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise")).clear(); // written as it goes
}

fs::path preferencesFile() {
    return fs::path(std::getenv("XDG_CONFIG_HOME")) / "Foldwise" / "Foldwise.conf";
}

std::string describe(const Preferences& preferences) {
    const auto hex = [](const std::optional<QByteArray>& bytes) {
        return bytes ? bytes->toHex().toStdString() : std::string("absent");
    };
    return "input=" + hex(preferences.inputFolderBookmark()) + " output=" + hex(preferences.outputFolderBookmark()) +
           " smart=" + (preferences.useSmartCategories() ? "true" : "false") +
           " taken=" + (preferences.onNameTaken() == OnNameTaken::KeepBoth ? "keepBoth" : "leave") + "\n";
}

void whileUnwritable(const std::function<void()>& call) {
    const fs::path folder = preferencesFile().parent_path();
    const fs::path aside = folder.native() + ".aside";
    fs::create_directories(folder);
    fs::rename(folder, aside);
    writeFile(folder, "not a folder");
    call();
    fs::remove(folder);
    fs::rename(aside, folder);
}

} // namespace foldwise::test

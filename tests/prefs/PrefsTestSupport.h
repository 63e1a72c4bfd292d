#pragma once

#include "prefs/Preferences.h"
#include "tests/support/TempFolder.h"

#include <QSettings>

#include <cstdlib>
#include <functional>
#include <string>

namespace foldwise::test {

// Removes every preference entry, as on a first launch.
inline void clearPreferences() {
    QSettings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise")).clear(); // written as it goes
}

// The preferences file QSettings("Foldwise", "Foldwise") uses under the test's XDG_CONFIG_HOME.
inline fs::path preferencesFile() {
    return fs::path(std::getenv("XDG_CONFIG_HOME")) / "Foldwise" / "Foldwise.conf";
}

// The entries on one line, as this process reads them, and as the program prints them when it is
// run with --print-preferences (as after a restart).
inline std::string describe(const Preferences& preferences) {
    const auto hex = [](const std::optional<QByteArray>& bytes) {
        return bytes ? bytes->toHex().toStdString() : std::string("absent");
    };
    return "input=" + hex(preferences.inputFolderBookmark()) + " output=" + hex(preferences.outputFolderBookmark()) +
           " smart=" + (preferences.useSmartCategories() ? "true" : "false") +
           " taken=" + (preferences.onNameTaken() == OnNameTaken::KeepBoth ? "keepBoth" : "leave") + "\n";
}

// Runs `call` while a file stands where the preferences folder belongs, so nothing can be written there.
inline void whileUnwritable(const std::function<void()>& call) {
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

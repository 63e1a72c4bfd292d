#pragma once

#include "prefs/Preferences.h"
#include "tests/support/TempFolder.h"

#include <functional>
#include <string>

namespace foldwise::test {

// Removes every preference entry, as on a first launch.
void clearPreferences();

// The preferences file QSettings("Foldwise", "Foldwise") uses under the test's XDG_CONFIG_HOME.
fs::path preferencesFile();

// The entries on one line, as this process reads them, and as the program prints them when it is
// run with --print-preferences (as after a restart).
std::string describe(const Preferences& preferences);

// Runs `call` while a file stands where the preferences folder belongs, so nothing can be written there.
void whileUnwritable(const std::function<void()>& call);

} // namespace foldwise::test

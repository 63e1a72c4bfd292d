#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace foldwise::test {
namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return path_; }
    fs::path makeFolder(const fs::path& name) const; // creates path() / name and returns it

private:
    fs::path path_;
};

// What `action` wrote to standard output (file descriptor 1).
std::string capturedStdout(const std::function<void()>& action);

// Removes every preference entry, as on a first launch.
void clearPreferences();

// The preferences file QSettings("Foldwise", "Foldwise") uses under the test's XDG_CONFIG_HOME.
fs::path preferencesFile();

// While it lives, a file stands where the preferences folder belongs, so nothing can be written there.
class UnwritablePreferences {
public:
    UnwritablePreferences();
    ~UnwritablePreferences();
    UnwritablePreferences(const UnwritablePreferences&) = delete;
    UnwritablePreferences& operator=(const UnwritablePreferences&) = delete;

private:
    fs::path folder_;
    fs::path aside_;
};

} // namespace foldwise::test

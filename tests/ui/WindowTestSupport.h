#pragma once

#include "app/ContentView.h"
#include "prefs/FolderPicker.h"

#include <QPushButton>
#include <QString>
#include <QTemporaryDir>

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>

namespace foldwise::test {
namespace fs = std::filesystem;

// Answers folder dialogs from a queue: a folder, or nothing for "cancelled".
class FakeFolderPicker final : public FolderPicker {
public:
    std::optional<fs::path> pickFolder(QWidget* parent, const QString& title,
                                       const std::optional<fs::path>& startFolder) override;

    std::deque<std::optional<fs::path>> answers;
    int dialogsShown = 0;
};

// A window of the application with a fake folder dialog, shown and exposed.
struct TestWindow {
    TestWindow();

    QPushButton& button(const QString& objectName) const; // in the window or its settings sheet
    void openSettings() const;
    void closeSettings() const;
    void pick(bool isInput, const std::optional<fs::path>& answer) const; // through the open sheet
    QString statusText() const;
    QColor statusTextColor() const;

    FakeFolderPicker* picker;
    std::unique_ptr<ContentView> view;
};

// A temporary folder whose path is a std::filesystem::path.
struct TempFolder {
    fs::path path() const;
    fs::path sub(const char* name) const; // created
    QTemporaryDir dir;
};

void writeFile(const fs::path& file);

// Forgets every preference, as on a first launch.
void clearPreferences();

// Runs `test` with preferences in a fresh temporary XDG_CONFIG_HOME, set before the application starts.
int runIsolated(QObject& test, int argc, char** argv);

} // namespace foldwise::test

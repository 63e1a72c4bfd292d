// Takes the README's screenshots of the organizer tab and the settings sheet from a real window.
// Run it on a display, from the repository root, e.g.
//   xvfb-run -s "-screen 0 1280x800x24" build/tools/foldwise_window_screenshots docs/screenshots
#include "app/ContentView.h"
#include "app/FoldwiseApp.h"
#include "prefs/FolderPicker.h"
#include "prefs/SettingsSheet.h"
#include "ui/OrganizerView.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>

namespace {
using namespace foldwise;
namespace fs = std::filesystem;

// Answers the folder dialogs with the folders queued, one per dialog.
class ScriptedFolderPicker final : public FolderPicker {
public:
    std::optional<fs::path> pickFolder(QWidget*, const QString&, const std::optional<fs::path>&) override {
        const fs::path answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<fs::path> answers;
};

// Runs the event loop for a while, so that the window system shows and draws what changed.
void settle() {
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
}

// Grabs what the display shows of `area`, the way a user sees it.
bool save(const QRect& area, const QString& file) {
    settle();
    const QPixmap shot =
        QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const bool saved = shot.save(file);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(file));
    return saved;
}

void writeFile(const fs::path& file) {
    std::ofstream(file) << "content of " << file.filename().string() << '\n';
}

void click(const ContentView& window, const char* buttonName) {
    window.findChild<QPushButton*>(QString::fromLatin1(buttonName))->click();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: foldwise_window_screenshots OUTPUT-FOLDER\n", stderr);
        return 2;
    }
    // A fresh preferences folder, so that the window starts as on a first launch.
    const QTemporaryDir configHome;
    ::setenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()).constData(), 1);
    QApplication application(argc, argv);
    FoldwiseApp::configure(application);
    const QDir output(QString::fromLocal8Bit(argv[1]));

    const QTemporaryDir temp;
    const fs::path downloads = fs::path(QFile::encodeName(temp.path()).toStdString()) / "Downloads";
    const fs::path sorted = downloads.parent_path() / "Sorted Downloads";
    fs::create_directory(downloads);
    fs::create_directory(sorted);
    for (const char* name : {"Invoice March.pdf", "IMG_2041.JPG", "holiday video.mp4", "notes.txt", "song.mp3",
                             "backup.zip", "script.py", "README", "Résumé 2026.docx", "photo (1).png"}) {
        writeFile(downloads / name);
    }

    auto picker = std::make_unique<ScriptedFolderPicker>();
    picker->answers = {downloads, sorted};
    const auto window = FoldwiseApp::makeWindow(std::move(picker));
    window->move(40, 40);
    window->show();
    bool ok = save(window->frameGeometry(), output.filePath(QStringLiteral("organizer-initial.png")));

    click(*window, "settingsButton");
    click(*window, "selectInputFolderButton");
    click(*window, "selectOutputFolderButton");
    const SettingsSheet& sheet = window->organizerView().settingsSheet();
    ok = save(sheet.frameGeometry(), output.filePath(QStringLiteral("settings-sheet.png"))) && ok;
    click(*window, "doneButton");

    click(*window, "sortButton");
    ok = save(window->frameGeometry(), output.filePath(QStringLiteral("organizer-sorted.png"))) && ok;

    // Undo, then sort again with a file in the way of a sub-folder the sort needs.
    click(*window, "undoSortButton");
    writeFile(sorted / "Images");
    click(*window, "sortButton");
    ok = save(window->frameGeometry(), output.filePath(QStringLiteral("organizer-failure.png"))) && ok;
    return ok ? 0 : 1;
}

// Takes the README's screenshots of the organizer tab and the settings sheet from a real window.
// Not a test: run it on a display, e.g.
//   xvfb-run -s "-screen 0 1280x800x24" build/tests/ui/foldwise_window_screenshots docs/screenshots
#include "WindowTestSupport.h"

#include "app/FoldwiseApp.h"
#include "prefs/SettingsSheet.h"
#include "ui/OrganizerView.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTest>

#include <cstdio>
#include <cstdlib>

namespace {
using namespace foldwise;
using namespace foldwise::test;

// Grabs what the display shows of `area`, the way a user sees it.
bool save(const QRect& area, const QString& file) {
    QTest::qWait(300); // let the window system draw
    const QPixmap shot =
        QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const bool saved = shot.save(file);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(file));
    return saved;
}

void makeSampleFolder(const fs::path& folder) {
    for (const char* name : {"Invoice March.pdf", "IMG_2041.JPG", "holiday video.mp4", "notes.txt", "song.mp3",
                             "backup.zip", "script.py", "README", "Résumé 2026.docx", "photo (1).png"}) {
        writeFile(folder / name);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: foldwise_window_screenshots OUTPUT-FOLDER\n", stderr);
        return 2;
    }
    const QTemporaryDir configHome;
    ::setenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()).constData(), 1);
    QApplication application(argc, argv);
    FoldwiseApp::configure(application);
    const QDir output(QString::fromLocal8Bit(argv[1]));
    const TempFolder temp;
    const fs::path downloads = temp.sub("Downloads");
    const fs::path sorted = temp.sub("Sorted Downloads");
    makeSampleFolder(downloads);

    const TestWindow window;
    window.view->move(40, 40);
    const auto windowArea = [&] {
        return window.view->frameGeometry();
    };
    bool ok = save(windowArea(), output.filePath(QStringLiteral("organizer-initial.png")));

    window.openSettings();
    window.pick(true, downloads);
    window.pick(false, sorted);
    const SettingsSheet& sheet = window.view->organizerView().settingsSheet();
    ok = save(sheet.frameGeometry(), output.filePath(QStringLiteral("settings-sheet.png"))) && ok;
    window.closeSettings();

    QTest::mouseClick(&window.button(QStringLiteral("sortButton")), Qt::LeftButton);
    ok = save(windowArea(), output.filePath(QStringLiteral("organizer-sorted.png"))) && ok;

    // Undo, then sort again with a file in the way of a sub-folder the sort needs.
    QTest::mouseClick(&window.button(QStringLiteral("undoSortButton")), Qt::LeftButton);
    writeFile(sorted / "Images");
    QTest::mouseClick(&window.button(QStringLiteral("sortButton")), Qt::LeftButton);
    ok = save(windowArea(), output.filePath(QStringLiteral("organizer-failure.png"))) && ok;
    return ok ? 0 : 1;
}

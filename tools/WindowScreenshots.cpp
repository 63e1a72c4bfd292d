// Takes the README's screenshots of the window from a real window: the organizer tab, the settings sheet and
// the statistics tab. Run it on a display, from the repository root, e.g.
//   xvfb-run -s "-screen 0 1280x800x24" build/tools/foldwise_window_screenshots docs/screenshots
//   xvfb-run -s "-screen 0 1280x800x24" build/tools/foldwise_window_screenshots --dark docs/screenshots
//   xvfb-run -s "-screen 0 2560x1600x24" build/tools/foldwise_window_screenshots --scale 2 docs/screenshots
// The light palette at scale 1 takes every screenshot; --dark (the dark Fusion palette) and --scale 2 take the
// organizer after a sort, the sheet and the statistics results, with "-dark" and "-2x" in their names, and
// --dark also the sheet with "Keep Both" chosen and the types chart. Each of the three also takes the organizer
// with its plan line, the plan sheet and the history sheet.
#include "app/ContentView.h"
#include "app/FoldwiseApp.h"
#include "prefs/Preferences.h"
#include "stats/FileAnalyzer.h"
#include "ui/CategoriesEditor.h"
#include "ui/DarkPalette.h"
#include "ui/FolderPicker.h"
#include "ui/HistoryModel.h"
#include "ui/HistorySheet.h"
#include "ui/OrganizerView.h"
#include "ui/PlanSheet.h"
#include "ui/RunWorker.h"
#include "ui/SettingsSheet.h"
#include "ui/StatisticsResultsPage.h"
#include "ui/StatisticsView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <future>
#include <string_view>
#include <sys/stat.h>

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
    std::printf("%s %s (%dx%d)\n", saved ? "saved" : "could not save", qPrintable(file), shot.width(), shot.height());
    return saved;
}

void writeFile(const fs::path& file) {
    std::ofstream(file) << "content of " << file.filename().string() << '\n';
}

// A downloads folder as people have them: a few of everything, more of some.
void makeDownloads(const fs::path& downloads) {
    fs::create_directory(downloads);
    for (const char* name : {"Invoice March.pdf", "IMG_2041.JPG", "holiday video.mp4", "notes.txt", "song.mp3",
                             "backup.zip", "script.py", "README", "Résumé 2026.docx", "photo (1).png"}) {
        writeFile(downloads / name);
    }
    const std::pair<const char*, int> more[] = {{"jpg", 14}, {"pdf", 9},  {"png", 7}, {"mp3", 6}, {"zip", 5},
                                                {"txt", 4},  {"docx", 4}, {"csv", 3}, {"mp4", 3}, {"py", 2},
                                                {"json", 2}, {"svg", 1},  {"epub", 1}};
    for (const auto& [extension, count] : more) {
        for (int index = 1; index <= count; ++index) {
            writeFile(downloads / ("file " + std::to_string(index) + "." + extension));
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    bool isDark = false;
    int scale = 1;
    const char* outputFolder = nullptr;
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--dark") {
            isDark = true;
        } else if (argument == "--scale" && index + 1 < argc) {
            scale = std::atoi(argv[++index]);
        } else {
            outputFolder = argv[index];
        }
    }
    if (outputFolder == nullptr || scale < 1) {
        std::fputs("usage: foldwise_window_screenshots [--dark] [--scale N] OUTPUT-FOLDER\n", stderr);
        return 2;
    }
    // Fresh preferences and history of sorts, so that the window starts as on a first launch.
    const QTemporaryDir configHome;
    const QTemporaryDir dataHome;
    ::setenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()).constData(), 1);
    ::setenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()).constData(), 1);
    ::setenv("QT_SCALE_FACTOR", std::to_string(scale).c_str(), 1);
    QApplication application(argc, argv);
    FoldwiseApp::configure(application);
    if (isDark) {
        QApplication::setPalette(darkFusionPalette());
    }
    const bool isEveryShot = !isDark && scale == 1;
    const QString suffix =
        QString::fromLatin1(isDark ? "-dark" : "") + (scale > 1 ? QStringLiteral("-%1x").arg(scale) : QString());
    const QDir output(QString::fromLocal8Bit(outputFolder));
    const auto file = [&](const char* name) {
        return output.filePath(QString::fromLatin1(name) + suffix + QStringLiteral(".png"));
    };

    const QTemporaryDir temp;
    const fs::path downloads = fs::path(QFile::encodeName(temp.path()).toStdString()) / "Downloads";
    const fs::path sorted = downloads.parent_path() / "Sorted Downloads";
    makeDownloads(downloads);
    fs::create_directory(sorted);

    auto picker = std::make_unique<ScriptedFolderPicker>();
    picker->answers = {downloads, sorted};
    const auto window = FoldwiseApp::makeWindow(std::move(picker));
    const auto click = [&](const char* buttonName) {
        window->findChild<QPushButton*>(QString::fromLatin1(buttonName))->click();
    };
    // Clicks "Sort" or "Undo Sort" and waits for the run to end.
    const auto run = [&](const char* buttonName) {
        click(buttonName);
        while (window->organizerView().isRunning()) {
            settle();
        }
        settle();
    };
    StatisticsView& statistics = window->statisticsView();
    // The first analysis waits for the loading screenshot.
    std::promise<void> gate;
    statistics.setAnalysis([opened = gate.get_future().share()](const fs::path& folder) {
        opened.wait();
        return FileAnalyzer::analyzeFolder(folder, {}, FileAnalyzer::Sizes::Added);
    });
    window->move(40, 40);
    window->show();
    bool ok = true;
    if (isEveryShot) {
        ok = save(window->frameGeometry(), file("organizer-initial")) && ok;
        window->tabs().setCurrentIndex(1);
        ok = save(window->frameGeometry(), file("statistics-no-folder")) && ok;
        window->tabs().setCurrentIndex(0);
    }

    click("settingsButton");
    click("selectInputFolderButton");
    click("selectOutputFolderButton");
    ok = save(window->organizerView().settingsSheet().frameGeometry(), file("settings-sheet")) && ok;
    if (scale == 1) {
        click("keepBothButton");
        settle();
        ok = save(window->organizerView().settingsSheet().frameGeometry(), file("settings-sheet-keep-both")) && ok;
        click("leaveFileButton");

        window->organizerView().settingsSheet().findChild<QPushButton*>(QStringLiteral("categoriesButton"))->click();
        settle();
        auto* editor = window->organizerView().settingsSheet().findChild<CategoriesEditor*>();
        editor->addRule(QStringLiteral("blend"), QStringLiteral("3D Models"));
        editor->addRule(QStringLiteral("kra"), QStringLiteral("Images"));
        editor->addRule(QStringLiteral("stl"), QStringLiteral("3D Models"));
        editor->addRule(QStringLiteral("ipynb"), QStringLiteral("Code"));
        settle();
        ok = save(editor->frameGeometry(), file("categories-editor")) && ok;
        editor->reject();
        settle();
    }
    click("doneButton");

    // What Sort would do, on the organizer and in its sheet.
    OrganizerView& organizer = window->organizerView();
    while (organizer.planText().isEmpty()) {
        settle();
    }
    ok = save(window->frameGeometry(), file("organizer-plan")) && ok;
    click("planDetailsButton");
    ok = save(organizer.planSheet().frameGeometry(), file("plan-sheet")) && ok;
    click("planDoneButton");

    window->tabs().setCurrentIndex(1);
    if (isEveryShot) {
        ok = save(window->frameGeometry(), file("statistics-loading")) && ok;
    }
    gate.set_value();
    while (statistics.state() != StatisticsScreenState::Results) {
        settle();
    }
    ok = save(window->frameGeometry(), file("statistics-results")) && ok;
    if (scale == 1) {
        QScrollBar& scrollBar = *statistics.resultsPage()->verticalScrollBar();
        scrollBar.setValue(scrollBar.maximum());
        ok = save(window->frameGeometry(), file("statistics-results-types")) && ok;
    }
    window->tabs().setCurrentIndex(0);

    run("sortButton");
    ok = save(window->frameGeometry(), file("organizer-sorted")) && ok;
    // A second sort of newer files, and the history of both, the older chosen.
    for (const char* name : {"Quarterly report.pdf", "IMG_2107.JPG", "IMG_2108.JPG"}) {
        writeFile(downloads / name);
    }
    run("sortButton");
    click("historyButton");
    while (organizer.historySheet().model().rowCount() < 2) {
        settle();
    }
    organizer.historySheet().table().selectRow(1);
    ok = save(organizer.historySheet().frameGeometry(), file("history-sheet")) && ok;
    click("historyDoneButton");
    if (isEveryShot) {
        // Undo, then sort again with a file in the way of a sub-folder the sort needs.
        run("undoSortButton");
        writeFile(sorted / "Images");
        run("sortButton");
        ok = save(window->frameGeometry(), file("organizer-failure")) && ok;
        run("undoSortButton");
        fs::remove(sorted / "Images");

        // A run of 10,000 files held at its 1,234th, then stopped there.
        RunWorker& worker = window->organizerView().worker();
        std::promise<void> stopped;
        worker.setRun([stop = stopped.get_future().share()](RunKind, const fs::path&, const fs::path&, bool,
                                                            const RunOptions& options) {
            options.progress(RunProgress{1234, 10000, {}, 0, 0});
            stop.wait();
            RunOutcome outcome;
            outcome.moved = 1234;
            outcome.notReached = 8766;
            outcome.cancelled = true;
            return outcome;
        });
        click("sortButton");
        settle();
        ok = save(window->frameGeometry(), file("organizer-running")) && ok;
        click("cancelButton");
        stopped.set_value();
        while (window->organizerView().isRunning()) {
            settle();
        }
        settle();
        worker.setRun({});
        ok = save(window->frameGeometry(), file("organizer-stopped")) && ok;

        // A sort where one name is taken and one entry is a pipe: the second line says why they stayed.
        fs::create_directories(sorted / "Documents");
        writeFile(sorted / "Documents/notes.txt");
        ::mkfifo((downloads / "stream.txt").c_str(), 0644);
        run("sortButton");
        ok = save(window->frameGeometry(), file("organizer-stayed")) && ok;
        run("undoSortButton");
        fs::remove(downloads / "stream.txt");

        // The same name taken, both files kept: the second line says so, and that the two are identical.
        Preferences::shared().setOnNameTaken(OnNameTaken::KeepBoth);
        writeFile(sorted / "Documents/notes.txt");
        run("sortButton");
        ok = save(window->frameGeometry(), file("organizer-kept-both")) && ok;
        run("undoSortButton");
        Preferences::shared().setOnNameTaken(OnNameTaken::Leave);

        // An input folder with nothing in it.
        fs::remove_all(downloads);
        fs::create_directory(downloads);
        window->tabs().setCurrentIndex(1);
        statistics.refreshAction()->trigger();
        while (statistics.isLoading() || statistics.state() != StatisticsScreenState::Empty) {
            settle();
        }
        ok = save(window->frameGeometry(), file("statistics-empty")) && ok;
    }
    return ok ? 0 : 1;
}

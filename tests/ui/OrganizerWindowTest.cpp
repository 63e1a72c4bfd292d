// The window on real temporary folders: first launch, the settings sheet's folder dialogs and what a pick
// stores, the caption line of folders and mode, Sort and Undo Sort with their status lines, the keyboard
// shortcuts, and a restart with the same preferences.
#include "prefs/Preferences.h"
#include "tests/support/GuiTest.h"
#include "ui/RunWorker.h"
#include "ui/StatisticsView.h"

#include <QFileDialog>
#include <QLocale>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>

#include <sys/stat.h>

namespace foldwise::test {
namespace {
using Tree = std::set<std::string>;

const QString initialStatus = QStringLiteral("Select input/output folders in Settings.");

QString pathText(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// `count` files "file-N.<extension>" in `folder`, by name.
Tree filesIn(const fs::path& folder, int count, const std::string& extension) {
    Tree files;
    for (int index = 0; index < count; ++index) {
        writeFile(folder / *files.insert("file-" + std::to_string(index) + extension).first);
    }
    return files;
}

} // namespace

class OrganizerWindowTest : public QObject {
    Q_OBJECT

    std::optional<TempFolder> temp_;
    fs::path input_;
    fs::path output_;

private slots:
    void init() { // as on a first launch, with empty folders "in" and "out"
        QSettings settings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise"));
        settings.clear();
        settings.sync();
        temp_.emplace();
        input_ = makeFolder(*temp_ / "in");
        output_ = makeFolder(*temp_ / "out");
    }

    void firstLaunchShowsNothingChosenAndOnlyDoneClosesTheSheet() {
        const TestWindow window;
        QCOMPARE(window.view->tabs().currentIndex(), 0);
        window.expectStatus(initialStatus, StatusColor::Primary);
        QVERIFY(!window.find("sortButton").isEnabled() && !window.find("undoSortButton").isEnabled());

        // Called without folders, Undo Sort does nothing and Sort says what is missing.
        window.organizer().undoSort();
        window.expectStatus(initialStatus, StatusColor::Primary);
        window.organizer().sortFiles();
        window.expectStatus(QStringLiteral("Error: Folders not selected."), StatusColor::Red);

        window.openSettings();
        SettingsSheet& sheet = window.organizer().settingsSheet();
        QCOMPARE(window.text("inputFolderLabel"), QStringLiteral("Not Selected"));
        QCOMPARE(window.text("outputFolderLabel"), QStringLiteral("Not Selected"));
        QVERIFY(window.find("byCategoryButton").isChecked());
        QTest::keyClick(&sheet, Qt::Key_Escape);
        sheet.close(); // what the window's close button asks for
        QVERIFY(sheet.isVisible());
        window.click("doneButton");
        QVERIFY(!sheet.isVisible());
    }

    // Picks show and store the folders, a cancelled dialog changes nothing, and
    // the caption line names both folders and the mode once both are chosen.
    void pickingFoldersShowsAndStoresThemWhileCancellingChangesNothing() {
        const TestWindow window;
        const QLabel& caption = window.find<QLabel>("folderSummaryLabel");
        window.openSettings();
        window.pick("selectInputFolderButton", makeFolder(*temp_ / "Inbox"));
        QCOMPARE(window.text("inputFolderLabel"), QStringLiteral("Inbox"));
        window.expectStatus(QStringLiteral("Input folder set."), StatusColor::Blue);
        const auto firstBookmark = Preferences::shared().inputFolderBookmark();
        QVERIFY(firstBookmark && !window.find("sortButton").isEnabled() && !window.find("undoSortButton").isEnabled());
        QVERIFY(caption.isHidden());
        window.pick("selectOutputFolderButton", std::nullopt);
        window.pick("selectInputFolderButton", std::nullopt);
        QVERIFY(window.picker->answers.empty()); // each click did open the dialog
        QCOMPARE(window.text("inputFolderLabel"), QStringLiteral("Inbox"));
        QCOMPARE(window.text("outputFolderLabel"), QStringLiteral("Not Selected"));
        window.expectStatus(QStringLiteral("Input folder set."), StatusColor::Blue);
        QCOMPARE(Preferences::shared().inputFolderBookmark(), firstBookmark);
        QVERIFY(!Preferences::shared().outputFolderBookmark());

        window.pick("selectOutputFolderButton", makeFolder(*temp_ / "Sorted"));
        QCOMPARE(window.text("outputFolderLabel"), QStringLiteral("Sorted"));
        window.expectStatus(QStringLiteral("Output folder set."), StatusColor::Blue);
        QVERIFY(Preferences::shared().outputFolderBookmark() && window.find("sortButton").isEnabled());
        QVERIFY(!caption.isHidden());
        QCOMPARE(caption.text(), QStringLiteral("Inbox → Sorted, by category"));
        QCOMPARE(caption.toolTip(), QStringLiteral("Input folder: %1\nOutput folder: %2")
                                        .arg(pathText(*temp_ / "Inbox"), pathText(*temp_ / "Sorted")));
        window.click("byExtensionButton");
        QCOMPARE(caption.text(), QStringLiteral("Inbox → Sorted, by extension"));

        // A second pick replaces the first.
        window.pick("selectInputFolderButton", makeFolder(*temp_ / "Downloads"));
        QCOMPARE(window.selection().selectedInputFolderURL(), std::optional(*temp_ / "Downloads"));
        QVERIFY(Preferences::shared().inputFolderBookmark() != firstBookmark);
        QCOMPARE(caption.text(), QStringLiteral("Downloads → Sorted, by extension"));
        window.click("doneButton");

        // A mode stored by another window, and a folder the window loses, show at once.
        Preferences::shared().setUseSmartCategories(true);
        QVERIFY(caption.text().endsWith(QStringLiteral(" → Sorted, by category")));
        window.selection().setSelectedOutputFolderURL(std::nullopt);
        QVERIFY(caption.isHidden());
    }

    void theFolderDialogOpensAtTheChosenFolderElseAtHome() {
        DialogFolderPicker picker;
        for (const auto& [start, expected] : {std::pair{std::optional<fs::path>(), QDir::homePath()},
                                              std::pair{std::optional(input_), pathText(input_)}}) {
            QString openedAt;
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog != nullptr);
                openedAt = dialog->directory().absolutePath();
                dialog->reject();
            });
            QVERIFY(!picker.pickFolder(nullptr, QStringLiteral("Select Input Folder"), start));
            QCOMPARE(openedAt, expected);
        }
    }

    void f5RefreshesTheStatistics() { // Ctrl+Q is typed by the packaging smoke test
        const TestWindow window;
        window.chooseFolders(input_, output_);
        window.view->tabs().setCurrentIndex(1);
        const StatisticsView& statistics = window.view->statisticsView();
        QSignalSpy loaded(&statistics, &StatisticsView::statisticsLoaded);
        QVERIFY(loaded.wait()); // the load on showing the screen
        window.view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.view.get()));
        QTest::keyClick(window.view.get(), Qt::Key_F5);
        QVERIFY(statistics.isLoading());
        QVERIFY(loaded.wait());
    }

    void aFolderThatCannotBeBookmarkedIsUsedAndTheFailureShownInRed() {
        const TestWindow window;
        window.openSettings();
        window.pick("selectInputFolderButton", input_);
        const auto keptBookmark = Preferences::shared().inputFolderBookmark();
        window.pick("selectInputFolderButton",
                    *temp_ / "vanished"); // gone before it could be bookmarked
        window.expectStatus(QStringLiteral("Failed to access folder for bookmarking."), StatusColor::Red);
        QCOMPARE(window.selection().selectedInputFolderURL(), std::optional(*temp_ / "vanished"));
        QCOMPARE(Preferences::shared().inputFolderBookmark(), keptBookmark);
    }

    void sortAndUndoMoveRealFilesAndReportFailuresInRed() {
        for (const char* name : {"notes.txt", "Photo.JPG", ".hidden"}) {
            writeFile(input_ / name);
        }
        const TestWindow window;
        window.chooseFolders(input_, output_);

        window.run("undoSortButton");
        window.expectStatus(QStringLiteral("Nothing to undo: no sort from “in” into “out” is on record."),
                            StatusColor::Primary);
        window.run("sortButton");
        window.expectStatus(QStringLiteral("✅ Files successfully sorted!"), StatusColor::Green);
        QVERIFY(window.text("detailsLabel").isEmpty());
        QCOMPARE(treeOf(output_), (Tree{"Documents/", "Documents/notes.txt", "Images/", "Images/Photo.JPG"}));
        window.run("undoSortButton");
        window.expectStatus(QStringLiteral("⏪ All files moved back to input folder."), StatusColor::Orange);
        QCOMPARE(treeOf(input_), (Tree{".hidden", "Photo.JPG", "notes.txt"}));

        // Showing the screen again keeps a command's result: "Folders ready." replaces only the initial text.
        window.view->tabs().setCurrentIndex(1);
        window.view->tabs().setCurrentIndex(0);
        QCoreApplication::processEvents();
        window.expectStatus(QStringLiteral("⏪ All files moved back to input folder."), StatusColor::Orange);

        writeFile(output_ / "Documents"); // a file where the sort would make notes.txt's sub-folder: it stays
        window.run("sortButton");
        QCOMPARE(window.text("detailsLabel"),
                 QStringLiteral("1 file stayed: a file in “out” has the name of its folder."));
        fs::remove(output_ / "Documents");
        fs::rename(input_, *temp_ / "elsewhere"); // the input folder is gone when the sort starts
        window.run("sortButton");
        QVERIFY(window.text("statusLabel").startsWith(QStringLiteral("❌ Sorting failed: ")));
        QCOMPARE(window.organizer().statusColor(), StatusColor::Red);
        QVERIFY(window.text("detailsLabel")
                    .contains(QRegularExpression(QStringLiteral("before the failure; (1 was|0 were) not reached.$"))));
        fs::rename(*temp_ / "elsewhere", input_);
        window.run("sortButton");
        fs::rename(input_, *temp_ / "elsewhere"); // the input folder is gone when the files go back
        window.run("undoSortButton");
        QVERIFY(window.text("statusLabel").startsWith(QStringLiteral("❌ Revert failed: ")));
        QCOMPARE(window.organizer().statusColor(), StatusColor::Red);
    }

    void aRunShowsItsProgressRefusesClicksAndStopsWhenCancelled() {
        const Tree files = filesIn(input_, 3000, ".txt");
        const TestWindow window;
        window.chooseFolders(input_, output_, true);

        QStringList shown; // the status line at each report: files done, then files in all
        QObject::connect(&window.organizer().worker(), &RunWorker::progressed,
                         [&] { shown << window.text("statusLabel"); });
        window.run("sortButton");
        QVERIFY(shown.size() >= 2);
        QCOMPARE(shown.front(), QStringLiteral("Sorting… 1 of 3,000 files"));
        QCOMPARE(shown.back(), QStringLiteral("Sorting… 3,000 of 3,000 files"));

        // Cancelled after its first file: what moved stays moved, the rest stays,
        // nothing is doubled.
        QObject::connect(&window.organizer().worker(), &RunWorker::progressed, &window.organizer(),
                         [&] { window.organizer().cancelRun(); });
        window.click("undoSortButton");
        QVERIFY(window.organizer().isRunning());
        QVERIFY(!window.find("sortButton").isEnabled() && !window.find("undoSortButton").isEnabled() &&
                !window.find("settingsButton").isEnabled() && window.find("cancelButton").isVisible());
        QVERIFY(window.text("statusLabel").startsWith(QStringLiteral("Moving files back…")));
        window.organizer().sortFiles(); // a click during the run is refused, not kept for later
        QTRY_VERIFY_WITH_TIMEOUT(!window.organizer().isRunning(), 20000);
        QVERIFY(!window.find("cancelButton").isVisible() && window.find("sortButton").isEnabled());
        QCOMPARE(window.organizer().statusColor(), StatusColor::Orange);
        Tree back = treeOf(input_);
        QVERIFY(!back.empty() && back.size() < files.size());
        QCOMPARE(window.text("statusLabel"),
                 QStringLiteral("Undo stopped: %1 files moved back, %2 still in the output folder.")
                     .arg(QLocale().toString(qint64(back.size())), QLocale().toString(qint64(3000 - back.size()))));
        back.merge(treeOf(output_ / "txt"));
        QCOMPARE(back, files);
    }

    void theSecondLineSaysWhatStayedAndWhy() {
        filesIn(input_, 4, ".txt");
        writeFile(makeFolder(output_ / "Documents") / "file-1.txt", "theirs");
        QVERIFY(::mkfifo((input_ / "pipe.txt").c_str(), 0644) == 0);
        const TestWindow window;
        window.chooseFolders(input_, output_);

        window.run("sortButton");
        window.expectStatus(QStringLiteral("✅ Files successfully sorted!"), StatusColor::Green);
        QCOMPARE(window.text("detailsLabel"), QStringLiteral("1 file stayed: its name is taken in “out”. "
                                                             "1 file is not a regular file and stayed."));
        QVERIFY(window.find<QLabel>("detailsLabel").isVisible());

        fs::rename(output_ / "Documents/file-0.txt", output_ / "Documents/renamed.txt");
        writeFile(input_ / "file-3.txt", "a new file-3.txt");
        window.run("undoSortButton");
        window.expectStatus(QStringLiteral("⏪ 1 of 3 files moved back to input folder."), StatusColor::Orange);
        QCOMPARE(window.text("detailsLabel"), QStringLiteral("1 file stayed: its name is taken in “in”. "
                                                             "1 file was no longer where Foldwise put it."));
    }

    void downloadsAndLockFilesStayWhileTheyAreUnfinished() {
        for (const char* name : {"done.txt", "film.mkv.part", "setup.crdownload", "~$report.docx"}) {
            writeFile(input_ / name);
        }
        const TestWindow window;
        window.chooseFolders(input_, output_);

        window.run("sortButton");
        QCOMPARE(window.text("detailsLabel"),
                 QStringLiteral("3 files are still being written or downloaded and stayed."));
        QCOMPARE(treeOf(input_), (Tree{"film.mkv.part", "setup.crdownload", "~$report.docx"}));
        fs::rename(input_ / "film.mkv.part", input_ / "film.mkv"); // the download is done
        fs::remove(input_ / "setup.crdownload");
        window.run("sortButton");
        QCOMPARE(window.text("detailsLabel"),
                 QStringLiteral("1 file is still being written or downloaded and stayed."));
        QVERIFY(fs::exists(output_ / "Video/film.mkv"));
    }

    // The row for a taken name shows and writes the preference, and every sort the window runs takes it.
    void theChoiceForATakenNameIsShownStoredAndPassedToEverySort() {
        const TestWindow window;
        window.chooseFolders(input_, output_);
        std::vector<OnNameTaken> passed;
        window.organizer().worker().setRun(
            [&](RunWorker::Kind, const fs::path&, const fs::path&, bool, const RunOptions& options) {
                passed.push_back(options.onNameTaken);
                return RunOutcome{};
            });
        window.run("sortButton");

        window.openSettings();
        QVERIFY(window.find("leaveFileButton").isChecked() && !window.find("keepBothButton").isChecked());
        window.click("keepBothButton");
        QCOMPARE(Preferences::shared().onNameTaken(), OnNameTaken::KeepBoth);
        QVERIFY(!window.find("leaveFileButton").isChecked() && window.find("byCategoryButton").isChecked());
        window.click("doneButton");
        window.run("sortButton");
        Preferences::shared().setOnNameTaken(OnNameTaken::Leave); // as another window stores it
        QVERIFY(window.find("leaveFileButton").isChecked());
        window.run("sortButton");
        QCOMPARE(passed, (std::vector{OnNameTaken::Leave, OnNameTaken::KeepBoth, OnNameTaken::Leave}));

        // The engine's own sort, both files kept: the second line says so, and which files are identical.
        window.organizer().worker().setRun({});
        Preferences::shared().setOnNameTaken(OnNameTaken::KeepBoth);
        filesIn(input_, 2, ".txt");
        const fs::path documents = makeFolder(output_ / "Documents");
        writeFile(documents / "file-0.txt"); // the same bytes as the file that arrives
        writeFile(documents / "file-1.txt", "theirs");
        window.run("sortButton");
        window.expectStatus(QStringLiteral("✅ Files successfully sorted!"), StatusColor::Green);
        QCOMPARE(window.text("detailsLabel"),
                 QStringLiteral("2 files were moved under new names beside their namesakes "
                                "in “out”. 1 of them is identical to the file already "
                                "in “out”."));
        QCOMPARE(treeOf(documents), (Tree{"file-0.txt", "file-0 (2).txt", "file-1.txt", "file-1 (2).txt"}));
    }

    void closingTheWindowDuringARunStopsItWithNothingHalfDone() {
        const Tree files = filesIn(input_, 3000, ".jpg");
        auto window = std::make_unique<TestWindow>();
        window->chooseFolders(input_, output_);
        QObject::connect(&window->organizer().worker(), &RunWorker::progressed, window->view.get(),
                         [&] { QTimer::singleShot(0, [&] { window.reset(); }); });
        window->click("sortButton");
        QTRY_VERIFY_WITH_TIMEOUT(!window, 20000);
        Tree all = treeOf(input_);
        const Tree sorted = treeOf(output_ / "Images");
        QVERIFY(sorted.size() < files.size());
        all.insert(sorted.begin(), sorted.end());
        QCOMPARE(all, files);
    }

    void aRestartRestoresFoldersAndModeAndReportsReady() {
        writeFile(input_ / "Photo.JPG");
        writeFile(input_ / "README");
        TestWindow().chooseFolders(input_, output_, true);
        {
            const TestWindow second;
            QCOMPARE(second.selection().selectedInputFolderURL(), std::optional(input_));
            QCOMPARE(second.selection().selectedOutputFolderURL(), std::optional(output_));
            second.expectStatus(QStringLiteral("Folders ready."), StatusColor::Green);
            second.run("sortButton"); // by extension, as chosen before the restart
            QCOMPARE(treeOf(output_), (Tree{"jpg/", "jpg/Photo.JPG", "other/", "other/README"}));
            second.openSettings();
            QVERIFY(second.find("byExtensionButton").isChecked() && !second.find("byCategoryButton").isChecked());
            second.click("byCategoryButton");
            QVERIFY(Preferences::shared().useSmartCategories());
        }
        // Without its input folder, whose bookmark no longer resolves, the screen
        // waits for one.
        fs::remove(input_);
        const TestWindow third;
        QVERIFY(!third.selection().selectedInputFolderURL());
        QCOMPARE(third.selection().selectedOutputFolderURL(), std::optional(output_));
        QVERIFY(!third.find("sortButton").isEnabled());
        third.expectStatus(initialStatus, StatusColor::Primary);
    }
};

} // namespace foldwise::test

FOLDWISE_GUI_TEST_MAIN(foldwise::test::OrganizerWindowTest)

#include "OrganizerWindowTest.moc"

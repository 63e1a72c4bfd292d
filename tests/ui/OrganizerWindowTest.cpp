// The window on real temporary folders: first launch, the settings sheet's folder dialogs and what a pick
// stores, the caption line of folders and mode, Sort and Undo Sort with their status lines, the keyboard
// shortcuts, and a restart with the same preferences.
#include "engine/History.h"
#include "engine/UserCategories.h"
#include "prefs/Preferences.h"
#include "tests/support/GuiTest.h"
#include "ui/CategoriesEditor.h"
#include "ui/FileManagerOpener.h"
#include "ui/HistoryModel.h"
#include "ui/HistorySheet.h"
#include "ui/PlanModel.h"
#include "ui/PlanSheet.h"
#include "ui/RunWorker.h"
#include "ui/StatisticsView.h"

#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <sys/stat.h>
#include <thread>

namespace foldwise::test {
namespace {
using Tree = std::set<std::string>;

const QString initialStatus = QStringLiteral("Select input/output folders in Settings.");

QString pathText(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// What `foldwise ARGUMENTS` prints on standard output, without its last newline.
QString commandLineOutput(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(FOLDWISE_EXECUTABLE), arguments);
    if (!process.waitForFinished(60000)) {
        qFatal("the command line did not finish");
    }
    return QString::fromUtf8(process.readAllStandardOutput()).chopped(1);
}

// Answers the next question the window asks with `button`, and keeps the question in `asked`.
void answerNextQuestion(QMessageBox::StandardButton button, QString& asked) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, button, &asked] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            asked = box->text();
            box->button(button)->click();
            poll->deleteLater();
        }
    });
    poll->start(10);
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
        fs::remove(UserCategories::defaultFile());
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
        // Two folders of one name are told apart by as much of their paths as differs.
        window.pick("selectOutputFolderButton", makeFolder(makeFolder(*temp_ / "stick") / "Downloads"));
        QCOMPARE(caption.text(), QStringLiteral("%1/Downloads → stick/Downloads, by extension")
                                     .arg(QString::fromStdString(temp_->path().filename().string())));
        window.pick("selectOutputFolderButton", *temp_ / "Sorted");
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
        QCOMPARE(window.text("detailsLabel"), QStringLiteral("2 files moved into 2 folders of “out”."));
        QVERIFY(window.find<QLabel>("detailsLabel").isVisible());
        QCOMPARE(treeOf(output_), (Tree{"Documents/", "Documents/notes.txt", "Images/", "Images/Photo.JPG"}));
        window.run("undoSortButton");
        window.expectStatus(QStringLiteral("⏪ All files moved back to input folder."), StatusColor::Orange);
        QCOMPARE(window.text("detailsLabel"), QStringLiteral("2 files moved back from 2 folders of “out” into “in”."));
        QCOMPARE(treeOf(input_), (Tree{".hidden", "Photo.JPG", "notes.txt"}));

        // Showing the screen again keeps a command's result: "Folders ready." replaces only the initial text.
        window.view->tabs().setCurrentIndex(1);
        window.view->tabs().setCurrentIndex(0);
        QCoreApplication::processEvents();
        window.expectStatus(QStringLiteral("⏪ All files moved back to input folder."), StatusColor::Orange);
        window.run("undoSortButton");
        window.expectStatus(QStringLiteral("Nothing to undo: every sort from “in” into “out” is already undone."),
                            StatusColor::Primary);

        fs::rename(input_, *temp_ / "elsewhere"); // the input folder is gone when the sort starts
        window.run("sortButton");
        QVERIFY(window.text("statusLabel").startsWith(QStringLiteral("❌ Sorting failed: ")));
        QCOMPARE(window.organizer().statusColor(), StatusColor::Red);
        QVERIFY2(window.text("detailsLabel")
                     .contains(QRegularExpression(QStringLiteral("before the failure(; 1 was not reached)?\\.$"))),
                 qPrintable(window.text("detailsLabel")));
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
        QVERIFY2(window.text("statusLabel").startsWith(QStringLiteral("Undo stopped: ")),
                 qPrintable(window.text("statusLabel")));
        QVERIFY2(window.text("detailsLabel")
                     .contains(QRegularExpression(QStringLiteral("^[0-9,]+ files? moved back from 1 folder of “out” "
                                                                 "into “in”\\.$"))),
                 qPrintable(window.text("detailsLabel")));
        Tree back = treeOf(input_);
        QVERIFY(!back.empty() && back.size() < files.size());
        QCOMPARE(window.text("statusLabel"),
                 QStringLiteral("Undo stopped: %1 files moved back, %2 still in the output folder.")
                     .arg(QLocale().toString(qint64(back.size())), QLocale().toString(qint64(3000 - back.size()))));
        back.merge(treeOf(output_ / "txt"));
        QCOMPARE(back, files);
    }

    // The plan line follows the input folder without a click, its details list each file, and "Show in Files"
    // opens the output folder.
    void thePlanLineFollowsTheInputFolderAndShowInFilesOpensTheOutput() {
        for (const char* name : {"a.jpg", "b.jpg", "c.txt"}) {
            writeFile(input_ / name);
        }
        const TestWindow window;
        QVERIFY(window.organizer().planText().isEmpty());
        window.chooseFolders(input_, output_);
        QTRY_COMPARE(window.organizer().planText(),
                     QStringLiteral("3 files will go into 2 folders: Images 2, Documents 1"));
        writeFile(input_ / "d.mp3");
        QTRY_COMPARE(window.organizer().planText(),
                     QStringLiteral("4 files will go into 3 folders: Images 2, Audio 1, Documents 1"));

        writeFile(makeFolder(output_ / "jpg") / "a.jpg",
                  "another a"); // the output folder is not watched: a change of mode reads it again
        window.openSettings();
        window.click("byExtensionButton");
        window.click("doneButton");
        QTRY_COMPARE(window.organizer().planText(),
                     QStringLiteral("3 files will go into 3 folders: jpg 1, mp3 1, txt 1"));
        window.click("planDetailsButton");
        const PlanModel& plan = window.organizer().planSheet().model();
        QCOMPARE(plan.rowCount(), 4);
        QStringList rows;
        for (int row = 0; row < plan.rowCount(); ++row) {
            rows << plan.index(row, PlanModel::Name).data().toString() + QStringLiteral(" → ") +
                        plan.index(row, PlanModel::Fate).data().toString();
        }
        rows.sort();
        QCOMPARE(rows,
                 (QStringList{QStringLiteral("a.jpg → Stays: its name is taken in jpg"), QStringLiteral("b.jpg → jpg"),
                              QStringLiteral("c.txt → txt"), QStringLiteral("d.mp3 → mp3")}));
        window.click("planDoneButton");

        QList<QUrl> opened;
        FileManagerOpener::setUrlOpener([&](const QUrl& url) { return opened.append(url), true; });
        window.click("showInFilesButton");
        FileManagerOpener::setUrlOpener({});
        QCOMPARE(opened, (QList<QUrl>{QUrl::fromLocalFile(pathText(output_))}));

        window.run("sortButton");
        QTRY_COMPARE(window.organizer().planText(), QStringLiteral("Nothing to sort."));
    }

    // Two sorts of the same folders: the history lists both, and undoing the older brings back its files alone.
    void theHistorySheetUndoesTheChosenSortAlone() {
        for (const char* part : {"", "-wal", "-shm"}) { // the runs of the tests before
            fs::remove(History::defaultFile().native() + part);
        }
        const TestWindow window;
        window.chooseFolders(input_, output_);
        writeFile(input_ / "older.txt");
        window.run("sortButton");
        writeFile(input_ / "newer.txt");
        window.run("sortButton");

        HistorySheet& sheet = window.organizer().historySheet();
        window.click("historyButton");
        QTRY_COMPARE(sheet.model().rowCount(), 2);
        QCOMPARE(sheet.model().index(0, HistoryModel::Moved).data().toString(), QStringLiteral("1"));
        QCOMPARE(sheet.model().index(1, HistoryModel::Kind).data().toString(), QStringLiteral("Sort"));
        sheet.table().selectRow(1);
        QList<QUrl> opened;
        FileManagerOpener::setUrlOpener([&](const QUrl& url) { return opened.append(url), true; });
        window.click("showRunInFilesButton");
        FileManagerOpener::setUrlOpener({});
        QCOMPARE(opened, (QList<QUrl>{QUrl::fromLocalFile(pathText(output_))}));
        window.click("undoRunButton");
        QVERIFY(!sheet.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!window.organizer().isRunning(), 20000);
        QCOMPARE(treeOf(input_), (Tree{"older.txt"}));
        QCOMPARE(treeOf(output_), (Tree{"Documents/", "Documents/newer.txt"}));

        window.click("historyButton");
        QTRY_COMPARE(sheet.model().rowCount(), 3);
        QCOMPARE(sheet.model().index(0, HistoryModel::Kind).data().toString(), QStringLiteral("Undo"));
        QCOMPARE(sheet.model().index(2, HistoryModel::Result).data().toString(), QStringLiteral("Completed, undone"));
        window.click("historyDoneButton");
    }

    void theSecondLineSaysWhatStayedAndWhy() {
        filesIn(input_, 4, ".txt");
        writeFile(makeFolder(output_ / "Documents") / "file-1.txt", "theirs");
        QVERIFY(::mkfifo((input_ / "pipe.txt").c_str(), 0644) == 0);
        const TestWindow window;
        window.chooseFolders(input_, output_);

        window.run("sortButton");

        fs::rename(output_ / "Documents/file-0.txt", output_ / "Documents/renamed.txt");
        writeFile(input_ / "file-3.txt", "a new file-3.txt");
        window.run("undoSortButton");
        window.expectStatus(QStringLiteral("⏪ 1 of 3 files moved back to input folder."), StatusColor::Orange);
        QCOMPARE(window.text("detailsLabel"), QStringLiteral("1 file moved back from 1 folder of “out” into “in”. "
                                                             "1 file stayed: its name is taken in “in”. "
                                                             "1 file was no longer where Foldwise put it."));
    }

    // The user's categories: edited from the sheet, checked before they are written, used by the next sort
    // and its undo; a line of the file that cannot be used is told on the second line by its number.
    void theUsersCategoriesAreEditedCheckedAndUsedWithBadLinesOnTheSecondLine() {
        writeFile(input_ / "scene.BLEND");
        const TestWindow window;
        window.chooseFolders(input_, output_);
        window.openSettings();
        window.click("categoriesButton");
        auto* editor = window.view->findChild<CategoriesEditor*>();
        QVERIFY(editor != nullptr && QTest::qWaitForWindowExposed(editor));
        editor->addRule(QStringLiteral(".Blend"), QStringLiteral("3D Models"));
        editor->addRule(QStringLiteral("tar.gz"), QStringLiteral("Archives"));
        window.click("saveCategoriesButton");
        QCOMPARE(window.text("categoriesProblemLabel"), QStringLiteral("Row 2: “tar.gz” is not an extension."));
        QVERIFY(!fs::exists(UserCategories::defaultFile()));
        window.click("removeCategoryButton");
        window.click("saveCategoriesButton");
        QCOMPARE(readFile(UserCategories::defaultFile()), std::string("[Extensions]\nblend = 3D Models\n"));
        window.click("doneButton");

        writeFile(UserCategories::defaultFile(), readFile(UserCategories::defaultFile()) + "x = a/b\n");
        window.run("sortButton");
        QVERIFY(fs::exists(output_ / "3D Models/scene.BLEND"));
        QCOMPARE(window.text("detailsLabel"),
                 QStringLiteral("categories.ini, line 3: “a/b” is not a folder name; the line is left out.\n"
                                "1 file moved into 1 folder of “out”."));
        window.run("undoSortButton");
        QVERIFY(fs::is_empty(output_));
        fs::remove(UserCategories::defaultFile());
    }

    // The row for a taken name shows and writes the preference, and every sort the window runs takes it.
    void theChoiceForATakenNameIsShownStoredAndPassedToEverySort() {
        const TestWindow window;
        window.chooseFolders(input_, output_);
        std::vector<OnNameTaken> passed;
        window.organizer().worker().setRun(
            [&](RunKind, const fs::path&, const fs::path&, bool, const RunOptions& options) {
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
    }

    // A sort that moves nothing is no success, and says why; the command line says the same sentences.
    void aSortThatMovesNothingIsNoSuccessAndTheCommandLineSaysTheSame() {
        const TestWindow window;
        window.chooseFolders(input_, output_);
        window.run("sortButton");
        window.expectStatus(QStringLiteral("Nothing to sort: “in” has no files at its top level."),
                            StatusColor::Primary);
        QVERIFY(window.find<QLabel>("detailsLabel").isHidden());

        // The same files in a twin of the two folders, for the command line.
        const fs::path twin = makeFolder(*temp_ / "twin");
        for (const fs::path& root : {temp_->path(), twin}) {
            const fs::path documents = makeFolder(makeFolder(root / "out") / "Documents");
            for (const char* name : {"a.txt", "b.txt"}) {
                writeFile(makeFolder(root / "in") / name);
                writeFile(documents / name, "theirs");
            }
        }
        const QStringList twinFolders{pathText(twin / "in"), pathText(twin / "out")};
        window.run("sortButton");
        window.expectStatus(QStringLiteral("Nothing was sorted: the names of all 2 files are taken in “out”."),
                            StatusColor::Orange);
        QCOMPARE(commandLineOutput(QStringList{QStringLiteral("sort")} + twinFolders), window.text("statusLabel"));

        for (const fs::path& root : {temp_->path(), twin}) {
            writeFile(root / "in/photo.jpg");
        }
        window.run("sortButton");
        window.expectStatus(QStringLiteral("✅ Files successfully sorted!"), StatusColor::Green);
        QCOMPARE(
            window.text("detailsLabel"),
            QStringLiteral("1 file moved into 1 folder of “out”. 2 files stayed: their names are taken in “out”."));
        QCOMPARE(commandLineOutput(QStringList{QStringLiteral("sort")} + twinFolders), window.text("detailsLabel"));
    }

    // Quitting during a run asks first; a run stopped so is mentioned once, at the next launch.
    void quittingDuringARunAsksFirstAndTheNextLaunchSaysWhereTheRunStopped() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QApplication::setQuitOnLastWindowClosed(false); // the test goes on after the window has quit
        auto window = std::make_unique<TestWindow>();
        window->chooseFolders(input_, output_);
        window->organizer().worker().setRun([](RunKind, const fs::path&, const fs::path&, bool, const RunOptions& run) {
            while (!run.stop.stop_requested()) {
                std::this_thread::yield();
            }
            RunOutcome outcome;
            outcome.moved = 12629;
            outcome.notReached = 137371;
            outcome.cancelled = true;
            return outcome;
        });
        window->click("sortButton");
        QString asked;
        answerNextQuestion(QMessageBox::No, asked);
        QVERIFY(!window->view->close());
        QCOMPARE(asked, QStringLiteral("A sort is running. Stop it and quit?"));
        QVERIFY(window->view->isVisible() && window->organizer().isRunning());
        answerNextQuestion(QMessageBox::Yes, asked);
        QVERIFY(window->view->close());
        QVERIFY(!window->organizer().isRunning());
        window.reset();

        std::optional<TestWindow> next(std::in_place);
        next->expectStatus(
            QStringLiteral("The last sort stopped when Foldwise quit: 12,629 files moved, 137,371 left in “in”."),
            StatusColor::Orange);
        next.reset();
        TestWindow().expectStatus(QStringLiteral("Folders ready."), StatusColor::Green);
        QApplication::setQuitOnLastWindowClosed(true);
        QLocale::setDefault(QLocale::system());
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

// The window on real temporary folders: first launch, the settings sheet's folder dialogs and what a pick
// stores, the caption line of folders and mode, Sort and Undo Sort with their status lines, the keyboard
// shortcuts, and a restart with the same preferences.
#include "app/ContentView.h"
#include "app/FoldwiseApp.h"
#include "ui/FolderPicker.h"
#include "prefs/Preferences.h"
#include "ui/SettingsSheet.h"
#include "tests/support/IsolatedUserFolders.h"
#include "tests/support/TempFolder.h"
#include "ui/FolderSelection.h"
#include "ui/OrganizerView.h"
#include "ui/RunWorker.h"
#include "ui/StatisticsView.h"
#include "ui/StatusColor.h"
#include "ui/SymbolIcon.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <deque>
#include <sys/stat.h>

namespace foldwise::test {
namespace {
using testing::TempFolder;
using testing::treeOf;
using testing::writeFile;
namespace fs = std::filesystem;
using Tree = std::set<std::string>;

const QString initialStatus = QStringLiteral("Select input/output folders in Settings.");

// Answers folder dialogs from a queue: a folder, or nothing for "cancelled".
class FakeFolderPicker final : public FolderPicker {
public:
    std::optional<fs::path> pickFolder(QWidget*, const QString&, const std::optional<fs::path>&) override {
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<fs::path>> answers;
};

// A window of the application with a fake folder dialog, shown and exposed.
struct TestWindow {
    TestWindow() : view(FoldwiseApp::makeWindow(std::unique_ptr<FolderPicker>(picker))) {
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get())) {
            qFatal("the test window was not exposed");
        }
        QCoreApplication::processEvents(); // the organizer's check on being shown is queued
    }

    template <typename Widget = QPushButton> Widget& find(const char* objectName) const {
        auto* found = view->findChild<Widget*>(QString::fromLatin1(objectName));
        if (found == nullptr) {
            qFatal("no widget %s", objectName);
        }
        return *found;
    }
    void click(const char* button) const { QTest::mouseClick(&find(button), Qt::LeftButton); }
    // Clicks "Sort" or "Undo Sort" and waits for the run it starts to end.
    void run(const char* button) const {
        click(button);
        QTRY_VERIFY_WITH_TIMEOUT(!organizer().isRunning(), 20000);
    }
    QString detailsText() const { return find<QLabel>("detailsLabel").text(); }
    void pick(const char* button, const std::optional<fs::path>& answer) const {
        picker->answers.push_back(answer);
        click(button);
    }
    OrganizerView& organizer() const { return view->organizerView(); }
    FolderSelection& selection() const { return view->folderSelection(); }
    QString statusText() const { return find<QLabel>("statusLabel").text(); }

    void openSettings() const {
        click("settingsButton");
        if (!QTest::qWaitForWindowExposed(&organizer().settingsSheet())) {
            qFatal("the settings sheet was not exposed");
        }
    }
    void chooseFolders(const fs::path& input, const fs::path& output, bool byExtension = false) const {
        openSettings();
        pick("selectInputFolderButton", input);
        pick("selectOutputFolderButton", output);
        if (byExtension) {
            click("byExtensionButton");
        }
        click("doneButton");
    }
    void expectStatus(const QString& text, StatusColor color) const {
        QCOMPARE(statusText(), text);
        QCOMPARE(organizer().statusColor(), color);
        QCOMPARE(find<QLabel>("statusLabel").palette().color(QPalette::WindowText),
                 statusColorValue(color, view->palette()));
    }

    FakeFolderPicker* picker = new FakeFolderPicker; // owned by the window
    std::unique_ptr<ContentView> view;
};

fs::path folder(const TempFolder& temp, const std::string& name) {
    fs::create_directory(temp / name);
    return temp / name;
}

QString pathText(const fs::path& path) {
    return QString::fromStdString(path.string());
}

} // namespace

class OrganizerWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { // as on a first launch
        QSettings settings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise"));
        settings.clear();
        settings.sync();
    }

    void firstLaunchShowsNothingChosenAndOnlyDoneClosesTheSheet() {
        const TestWindow window;
        const QTabWidget& tabs = window.view->tabs();
        QCOMPARE(tabs.currentIndex(), 0);
        QCOMPARE(tabs.tabText(0), QStringLiteral("Organizer"));
        QCOMPARE(tabs.tabText(1), QStringLiteral("Statistics"));
        QVERIFY(!tabs.tabIcon(0).isNull() && !tabs.tabIcon(1).isNull());
        for (const char* symbol :
             {"folder", "chart.pie", "paperplane", "arrow.clockwise", "magnifyingglass", "folder.badge.questionmark"}) {
            QVERIFY2(!symbolIcon(QString::fromLatin1(symbol)).pixmap(24).isNull(), symbol);
        }
        QVERIFY(!QApplication::windowIcon().pixmap(48).isNull());
        QCOMPARE(window.view->minimumSize().expandedTo(window.view->minimumSizeHint()), window.view->minimumSize());
        window.expectStatus(initialStatus, StatusColor::Primary);
        QVERIFY(!window.find("sortButton").isEnabled());
        QVERIFY(!window.find("undoSortButton").isEnabled());

        // Called without folders, Undo Sort does nothing and Sort says what is missing.
        window.organizer().undoSort();
        window.expectStatus(initialStatus, StatusColor::Primary);
        window.organizer().sortFiles();
        window.expectStatus(QStringLiteral("Error: Folders not selected."), StatusColor::Red);

        window.openSettings();
        SettingsSheet& sheet = window.organizer().settingsSheet();
        QCOMPARE(sheet.windowModality(), Qt::WindowModal);
        QCOMPARE(window.find<QLabel>("inputFolderLabel").text(), QStringLiteral("Not Selected"));
        QCOMPARE(window.find<QLabel>("outputFolderLabel").text(), QStringLiteral("Not Selected"));
        QVERIFY(window.find("byCategoryButton").isChecked());
        QCOMPARE(window.find("byCategoryButton").text(), QStringLiteral("By Category (Images, Docs)"));
        QCOMPARE(window.find("byExtensionButton").text(), QStringLiteral("By Extension (jpg, pdf)"));
        QTest::keyClick(&sheet, Qt::Key_Escape);
        sheet.close(); // what the window's close button asks for
        QVERIFY(sheet.isVisible());
        window.click("doneButton");
        QVERIFY(!sheet.isVisible());
    }

    void pickingFoldersShowsAndStoresThemWhileCancellingChangesNothing() {
        const TempFolder temp;
        const TestWindow window;
        window.openSettings();
        window.pick("selectInputFolderButton", folder(temp, "Holiday photos"));
        QCOMPARE(window.find<QLabel>("inputFolderLabel").text(), QStringLiteral("Holiday photos"));
        window.expectStatus(QStringLiteral("Input folder set."), StatusColor::Blue);
        const auto firstBookmark = Preferences::shared().inputFolderBookmark();
        QVERIFY(firstBookmark);
        QVERIFY(!window.find("sortButton").isEnabled() && !window.find("undoSortButton").isEnabled());
        window.pick("selectOutputFolderButton", std::nullopt);
        window.pick("selectInputFolderButton", std::nullopt);
        QVERIFY(window.picker->answers.empty()); // each click did open the dialog
        QCOMPARE(window.find<QLabel>("inputFolderLabel").text(), QStringLiteral("Holiday photos"));
        QCOMPARE(window.find<QLabel>("outputFolderLabel").text(), QStringLiteral("Not Selected"));
        window.expectStatus(QStringLiteral("Input folder set."), StatusColor::Blue);
        QCOMPARE(Preferences::shared().inputFolderBookmark(), firstBookmark);
        QVERIFY(!Preferences::shared().outputFolderBookmark());

        window.pick("selectOutputFolderButton", folder(temp, "out"));
        QCOMPARE(window.find<QLabel>("outputFolderLabel").text(), QStringLiteral("out"));
        window.expectStatus(QStringLiteral("Output folder set."), StatusColor::Blue);
        QVERIFY(Preferences::shared().outputFolderBookmark());
        QVERIFY(window.find("sortButton").isEnabled() && window.find("undoSortButton").isEnabled());

        // A second pick replaces the first; a long name keeps its end on one line.
        const std::string longName = std::string(150, 'x') + " the end";
        window.pick("selectInputFolderButton", folder(temp, longName));
        QCoreApplication::processEvents();
        const QLabel& shown = window.find<QLabel>("inputFolderLabel");
        QVERIFY(shown.text().startsWith(QStringLiteral("…")) && shown.text().endsWith(QStringLiteral("the end")));
        QVERIFY(!shown.wordWrap());
        QVERIFY(shown.fontMetrics().horizontalAdvance(shown.text()) <= shown.contentsRect().width());
        QCOMPARE(shown.toolTip(), QString::fromStdString((temp / longName).string()));
        QCOMPARE(window.selection().selectedInputFolderURL(), std::optional(temp / longName));
        QVERIFY(Preferences::shared().inputFolderBookmark() != firstBookmark);
    }

    void theCaptionLineNamesBothFoldersAndTheModeOnceBothAreChosen() {
        const TempFolder temp;
        const TestWindow window;
        const QLabel& caption = window.find<QLabel>("folderSummaryLabel");
        QVERIFY(caption.isHidden());
        window.openSettings();
        window.pick("selectInputFolderButton", folder(temp, "Inbox"));
        QVERIFY(caption.isHidden());
        window.pick("selectOutputFolderButton", folder(temp, "Sorted"));
        QVERIFY(!caption.isHidden());
        QCOMPARE(caption.text(), QStringLiteral("Inbox → Sorted, by category"));
        QCOMPARE(caption.toolTip(), QStringLiteral("Input folder: %1\nOutput folder: %2")
                                        .arg(pathText(temp / "Inbox"), pathText(temp / "Sorted")));

        window.click("byExtensionButton");
        QCOMPARE(caption.text(), QStringLiteral("Inbox → Sorted, by extension"));
        window.pick("selectInputFolderButton", folder(temp, "Downloads"));
        QCOMPARE(caption.text(), QStringLiteral("Downloads → Sorted, by extension"));
        QVERIFY(caption.toolTip().startsWith(QStringLiteral("Input folder: ") + pathText(temp / "Downloads")));
        window.click("doneButton");

        // A mode stored by another window, and a folder the window loses, show at once.
        Preferences::shared().setUseSmartCategories(true);
        QCOMPARE(caption.text(), QStringLiteral("Downloads → Sorted, by category"));
        window.selection().setSelectedOutputFolderURL(std::nullopt);
        QVERIFY(caption.isHidden());
    }

    void theFolderDialogOpensAtTheChosenFolderElseAtHome() {
        const TempFolder temp;
        DialogFolderPicker picker;
        QString openedAt;
        const auto cancelOnceOpen = [&] {
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog != nullptr);
                openedAt = dialog->directory().absolutePath();
                dialog->reject();
            });
        };
        cancelOnceOpen();
        QVERIFY(!picker.pickFolder(nullptr, QStringLiteral("Select Input Folder"), std::nullopt));
        QCOMPARE(openedAt, QDir::homePath());
        cancelOnceOpen();
        QVERIFY(!picker.pickFolder(nullptr, QStringLiteral("Select Input Folder"), folder(temp, "chosen")));
        QCOMPARE(openedAt, pathText(temp / "chosen"));
    }

    void f5RefreshesTheStatisticsAndCtrlQClosesTheWindow() {
        const TempFolder temp;
        const TestWindow window;
        window.chooseFolders(folder(temp, "in"), folder(temp, "out"));
        window.view->tabs().setCurrentIndex(1);
        const StatisticsView& statistics = window.view->statisticsView();
        QSignalSpy loaded(&statistics, &StatisticsView::statisticsLoaded);
        QVERIFY(loaded.wait()); // the load on showing the screen
        window.view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.view.get()));
        QTest::keyClick(window.view.get(), Qt::Key_F5);
        QVERIFY(statistics.isLoading());
        QVERIFY(loaded.wait());
        QTest::keyClick(window.view.get(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!window.view->isVisible());
    }

    void aFolderThatCannotBeBookmarkedIsUsedAndTheFailureShownInRed() {
        const TempFolder temp;
        const TestWindow window;
        window.openSettings();
        window.pick("selectInputFolderButton", folder(temp, "kept"));
        const auto keptBookmark = Preferences::shared().inputFolderBookmark();
        window.pick("selectInputFolderButton", temp / "vanished"); // gone before it could be bookmarked
        window.expectStatus(QStringLiteral("Failed to access folder for bookmarking."), StatusColor::Red);
        QCOMPARE(window.selection().selectedInputFolderURL(), std::optional(temp / "vanished"));
        QCOMPARE(Preferences::shared().inputFolderBookmark(), keptBookmark);

        // So is a bookmark that cannot be saved: a file stands where the preferences folder belongs.
        const QString settingsFile = QSettings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise")).fileName();
        const fs::path settingsFolder = fs::path(QFile::encodeName(settingsFile).toStdString()).parent_path();
        fs::remove_all(settingsFolder);
        writeFile(settingsFolder);
        window.pick("selectOutputFolderButton", folder(temp, "out"));
        fs::remove(settingsFolder);
        QVERIFY(window.statusText().startsWith(QStringLiteral("Failed to save bookmark: ")));
        QCOMPARE(window.organizer().statusColor(), StatusColor::Red);
        QCOMPARE(window.find<QLabel>("outputFolderLabel").text(), QStringLiteral("out"));
    }

    void sortAndUndoMoveRealFilesAndReportFailuresInRed() {
        const TempFolder temp;
        const fs::path input = folder(temp, "in");
        const fs::path output = folder(temp, "out");
        for (const char* name : {"notes.txt", "Photo.JPG", ".hidden"}) {
            writeFile(input / name);
        }
        const TestWindow window;
        window.chooseFolders(input, output);

        window.run("undoSortButton");
        window.expectStatus(QStringLiteral("Nothing to undo: no sort from “in” into “out” is on record."),
                            StatusColor::Primary);
        window.run("sortButton");
        window.expectStatus(QStringLiteral("✅ Files successfully sorted!"), StatusColor::Green);
        QVERIFY(window.detailsText().isEmpty());
        QCOMPARE(treeOf(output), (Tree{"Documents/", "Documents/notes.txt", "Images/", "Images/Photo.JPG"}));
        QCOMPARE(treeOf(input), Tree{".hidden"});
        window.run("undoSortButton");
        window.expectStatus(QStringLiteral("⏪ All files moved back to input folder."), StatusColor::Orange);
        QCOMPARE(treeOf(input), (Tree{".hidden", "Photo.JPG", "notes.txt"}));
        QVERIFY(fs::is_empty(output));

        // Showing the screen again keeps a command's result: "Folders ready." replaces only the initial text.
        window.view->tabs().setCurrentIndex(1);
        window.view->tabs().setCurrentIndex(0);
        QCoreApplication::processEvents();
        window.expectStatus(QStringLiteral("⏪ All files moved back to input folder."), StatusColor::Orange);

        writeFile(output / "Documents"); // a file where the sort must create a sub-folder
        window.run("sortButton");
        QVERIFY(window.statusText().startsWith(QStringLiteral("❌ Sorting failed: ")));
        QVERIFY(window.statusText().size() > QStringLiteral("❌ Sorting failed: ").size());
        QCOMPARE(window.organizer().statusColor(), StatusColor::Red);
        QVERIFY(window.detailsText().endsWith(QStringLiteral("before the failure; 1 was not reached.")) ||
                window.detailsText().endsWith(QStringLiteral("before the failure; 0 were not reached.")));
        QVERIFY(fs::exists(input / "notes.txt"));
        fs::remove(output / "Documents");
        window.run("sortButton");
        fs::rename(input, temp / "elsewhere"); // the input folder is gone when the files go back
        window.run("undoSortButton");
        QVERIFY(window.statusText().startsWith(QStringLiteral("❌ Revert failed: ")));
        QCOMPARE(window.organizer().statusColor(), StatusColor::Red);
    }

    void aRunShowsItsProgressRefusesClicksAndStopsWhenCancelled() {
        const TempFolder temp;
        const fs::path input = folder(temp, "in");
        const fs::path output = folder(temp, "out");
        Tree files;
        for (int index = 0; index < 3000; ++index) {
            const std::string name = "file-" + std::to_string(index) + ".txt";
            writeFile(input / name);
            files.insert(name);
        }
        const TestWindow window;
        window.chooseFolders(input, output, true);

        std::vector<RunProgress> reports;
        QObject::connect(&window.organizer().worker(), &RunWorker::progressed,
                         [&](const RunProgress& progress) { reports.push_back(progress); });
        window.run("sortButton");
        QVERIFY(!reports.empty());
        for (std::size_t index = 1; index < reports.size(); ++index) {
            QVERIFY(reports[index].filesDone >= reports[index - 1].filesDone);
        }
        QCOMPARE(reports.back().filesDone, 3000);
        QCOMPARE(reports.back().filesTotal, 3000);

        // Cancelled after its first file: what moved stays moved, the rest stays, nothing is doubled.
        reports.clear();
        QObject::connect(&window.organizer().worker(), &RunWorker::progressed, &window.organizer(),
                         [&] { window.organizer().cancelRun(); });
        window.click("undoSortButton");
        QVERIFY(window.organizer().isRunning());
        QVERIFY(!window.find("sortButton").isEnabled() && !window.find("undoSortButton").isEnabled() &&
                !window.find("settingsButton").isEnabled() && window.find("cancelButton").isVisible());
        QVERIFY(window.statusText().startsWith(QStringLiteral("Moving files back…")));
        window.organizer().sortFiles(); // a click during the run is refused, not kept for later
        QTRY_VERIFY_WITH_TIMEOUT(!window.organizer().isRunning(), 20000);
        QVERIFY(!window.find("cancelButton").isVisible() && window.find("sortButton").isEnabled());
        QCOMPARE(window.organizer().statusColor(), StatusColor::Orange);
        QVERIFY2(window.statusText().startsWith(QStringLiteral("Undo stopped: ")), qPrintable(window.statusText()));
        Tree back = treeOf(input);
        const Tree stillSorted = treeOf(output / "txt");
        QVERIFY(!back.empty() && back.size() < files.size());
        back.insert(stillSorted.begin(), stillSorted.end());
        QCOMPARE(back, files);
    }

    void theSecondLineSaysWhatStayedAndWhy() {
        const TempFolder temp;
        const fs::path input = folder(temp, "in");
        const fs::path output = folder(temp, "out");
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            writeFile(input / name);
        }
        fs::create_directories(output / "Documents");
        writeFile(output / "Documents/b.txt", "theirs");
        QVERIFY(::mkfifo((input / "pipe.txt").c_str(), 0644) == 0);
        const TestWindow window;
        window.chooseFolders(input, output);

        window.run("sortButton");
        window.expectStatus(QStringLiteral("✅ Files successfully sorted!"), StatusColor::Green);
        QCOMPARE(window.detailsText(), QStringLiteral("1 file stayed: its name is taken in “out”. "
                                                      "1 file is not a regular file and stayed."));
        QVERIFY(window.find<QLabel>("detailsLabel").isVisible());

        fs::rename(output / "Documents/a.txt", output / "Documents/renamed.txt");
        window.run("undoSortButton");
        window.expectStatus(QStringLiteral("⏪ 1 of 2 files moved back to input folder."), StatusColor::Orange);
        QCOMPARE(window.detailsText(), QStringLiteral("1 file was no longer where Foldwise put it."));
        window.run("sortButton"); // the line clears when the next run starts, and this one says nothing
        QVERIFY(window.detailsText().startsWith(QStringLiteral("1 file stayed")));
    }

    void closingTheWindowDuringARunStopsItWithNothingHalfDone() {
        const TempFolder temp;
        const fs::path input = folder(temp, "in");
        const fs::path output = folder(temp, "out");
        Tree files;
        for (int index = 0; index < 3000; ++index) {
            const std::string name = "file-" + std::to_string(index) + ".jpg";
            writeFile(input / name);
            files.insert(name);
        }
        auto window = std::make_unique<TestWindow>();
        window->chooseFolders(input, output);
        bool closed = false;
        QObject::connect(&window->organizer().worker(), &RunWorker::progressed, window->view.get(), [&] {
            if (!closed) {
                closed = true;
                QTimer::singleShot(0, [&] { window.reset(); });
            }
        });
        window->click("sortButton");
        QTRY_VERIFY_WITH_TIMEOUT(!window, 20000);
        Tree all = treeOf(input);
        const Tree sorted = treeOf(output / "Images");
        QVERIFY(sorted.size() < files.size());
        all.insert(sorted.begin(), sorted.end());
        QCOMPARE(all, files);
    }

    void aRestartRestoresFoldersAndModeAndReportsReady() {
        const TempFolder temp;
        const fs::path input = folder(temp, "in");
        const fs::path output = folder(temp, "out");
        writeFile(input / "Photo.JPG");
        writeFile(input / "README");
        TestWindow().chooseFolders(input, output, true);
        {
            const TestWindow second;
            QCOMPARE(second.selection().selectedInputFolderURL(), std::optional(input));
            QCOMPARE(second.selection().selectedOutputFolderURL(), std::optional(output));
            second.expectStatus(QStringLiteral("Folders ready."), StatusColor::Green);
            second.run("sortButton"); // by extension, as chosen before the restart
            QCOMPARE(treeOf(output), (Tree{"jpg/", "jpg/Photo.JPG", "other/", "other/README"}));
            second.openSettings();
            QVERIFY(second.find("byExtensionButton").isChecked() && !second.find("byCategoryButton").isChecked());
            second.click("byCategoryButton");
            QVERIFY(Preferences::shared().useSmartCategories());
        }
        // Without its input folder, whose bookmark no longer resolves, the screen waits for one.
        fs::remove(input);
        const TestWindow third;
        QVERIFY(!third.selection().selectedInputFolderURL());
        QCOMPARE(third.selection().selectedOutputFolderURL(), std::optional(output));
        QVERIFY(!third.find("sortButton").isEnabled());
        third.expectStatus(initialStatus, StatusColor::Primary);
    }
};

} // namespace foldwise::test

// Preferences and the history of sorts live in fresh temporary folders, set before the application starts.
int main(int argc, char** argv) {
    const foldwise::testing::IsolatedUserFolders isolated;
    QApplication application(argc, argv);
    foldwise::FoldwiseApp::configure(application);
    foldwise::test::OrganizerWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "OrganizerWindowTest.moc"

// The window on real temporary folders: first launch, the enabling rule, Sort and Undo Sort with their
// status lines, "Folders ready." and a restart with the same preferences.
#include "WindowTestSupport.h"

#include "prefs/Preferences.h"
#include "ui/FolderSelection.h"
#include "ui/OrganizerView.h"
#include "ui/StatusColor.h"
#include "ui/SymbolIcon.h"

#include <QApplication>

#include <QTabWidget>
#include <QTest>

namespace foldwise::test {

class OrganizerWindowTest : public QObject {
    Q_OBJECT

    static void expectStatus(const TestWindow& window, const QString& text, StatusColor color) {
        QCOMPARE(window.statusText(), text);
        QCOMPARE(window.view->organizerView().statusColor(), color);
        QCOMPARE(window.statusTextColor(), statusColorValue(color, window.view->palette()));
    }

    // Picks both folders in the settings sheet and closes it.
    static void pickFolders(const TestWindow& window, const fs::path& input, const fs::path& output) {
        window.openSettings();
        window.pick(true, input);
        window.pick(false, output);
        window.closeSettings();
    }

private slots:
    void init() { clearPreferences(); }

    void firstLaunchShowsTheOrganizerWithNothingChosen() {
        const TestWindow window;
        QTabWidget& tabs = window.view->tabs();
        QCOMPARE(tabs.currentIndex(), 0);
        QCOMPARE(tabs.tabText(0), QStringLiteral("Organizer"));
        QCOMPARE(tabs.tabText(1), QStringLiteral("Statistics"));
        QVERIFY(!tabs.tabIcon(0).isNull() && !tabs.tabIcon(1).isNull());
        expectStatus(window, QStringLiteral("Select input/output folders in Settings."), StatusColor::Primary);
        QVERIFY(!window.button(QStringLiteral("sortButton")).isEnabled());
        QVERIFY(!window.button(QStringLiteral("undoSortButton")).isEnabled());
        QVERIFY(window.button(QStringLiteral("settingsButton")).isEnabled());
        QVERIFY(!window.view->folderSelection().selectedInputFolderURL());
        QCOMPARE(window.view->windowTitle(), QStringLiteral("Foldwise"));
        QCOMPARE(window.view->minimumSize().expandedTo(window.view->minimumSizeHint()), window.view->minimumSize());
        QVERIFY(window.view->width() > window.view->minimumWidth());
    }

    void everySymbolAndTheApplicationHaveAnIcon() {
        for (const char* symbol :
             {"folder", "chart.pie", "paperplane", "arrow.clockwise", "magnifyingglass", "folder.badge.questionmark"}) {
            QVERIFY2(!symbolIcon(QString::fromLatin1(symbol)).pixmap(24).isNull(), symbol);
        }
        QVERIFY(!QApplication::windowIcon().pixmap(48).isNull());
    }

    void buttonsNeedBothFoldersAndTheSheetSetsItsOwnStatus() {
        const TempFolder temp;
        const TestWindow window;
        window.openSettings();
        window.pick(false, temp.sub("out"));
        expectStatus(window, QStringLiteral("Output folder set."), StatusColor::Blue);
        QVERIFY(!window.button(QStringLiteral("sortButton")).isEnabled());
        window.pick(true, temp.sub("in"));
        expectStatus(window, QStringLiteral("Input folder set."), StatusColor::Blue);
        QVERIFY(window.button(QStringLiteral("sortButton")).isEnabled());
        QVERIFY(window.button(QStringLiteral("undoSortButton")).isEnabled());
        window.closeSettings();

        // Showing the screen again keeps the sheet's text: "Folders ready." replaces only the initial one.
        window.view->tabs().setCurrentIndex(1);
        window.view->tabs().setCurrentIndex(0);
        QCoreApplication::processEvents();
        expectStatus(window, QStringLiteral("Input folder set."), StatusColor::Blue);
    }

    void sortAndUndoMoveRealFiles() {
        const TempFolder temp;
        const fs::path input = temp.sub("in");
        const fs::path output = temp.sub("out");
        writeFile(input / "notes.txt");
        writeFile(input / "Photo.JPG");
        writeFile(input / ".hidden");
        const TestWindow window;
        pickFolders(window, input, output);

        QTest::mouseClick(&window.button(QStringLiteral("sortButton")), Qt::LeftButton);
        expectStatus(window, QStringLiteral("✅ Files successfully sorted!"), StatusColor::Green);
        QVERIFY(fs::exists(output / "Documents" / "notes.txt"));
        QVERIFY(fs::exists(output / "Images" / "Photo.JPG"));
        QVERIFY(fs::exists(input / ".hidden"));

        QTest::mouseClick(&window.button(QStringLiteral("undoSortButton")), Qt::LeftButton);
        expectStatus(window, QStringLiteral("⏪ All files moved back to input folder."), StatusColor::Orange);
        QVERIFY(fs::exists(input / "notes.txt"));
        QVERIFY(fs::exists(input / "Photo.JPG"));
        QVERIFY(fs::is_empty(output));

        // A command's result survives switching tabs.
        window.view->tabs().setCurrentIndex(1);
        window.view->tabs().setCurrentIndex(0);
        QCoreApplication::processEvents();
        expectStatus(window, QStringLiteral("⏪ All files moved back to input folder."), StatusColor::Orange);
    }

    void sortUsesTheModeChosenInTheSheet() {
        const TempFolder temp;
        const fs::path input = temp.sub("in");
        const fs::path output = temp.sub("out");
        writeFile(input / "Photo.JPG");
        writeFile(input / "README");
        const TestWindow window;
        pickFolders(window, input, output);
        window.openSettings();
        QTest::mouseClick(&window.button(QStringLiteral("byExtensionButton")), Qt::LeftButton);
        window.closeSettings();

        QTest::mouseClick(&window.button(QStringLiteral("sortButton")), Qt::LeftButton);
        QVERIFY(fs::exists(output / "jpg" / "Photo.JPG"));
        QVERIFY(fs::exists(output / "other" / "README"));
    }

    void failuresAreShownInRed() {
        const TempFolder temp;
        const fs::path input = temp.sub("in");
        const fs::path output = temp.sub("out");
        writeFile(input / "notes.txt");
        writeFile(output / "Documents"); // a file where the sub-folder must be created
        const TestWindow window;
        pickFolders(window, input, output);

        QTest::mouseClick(&window.button(QStringLiteral("sortButton")), Qt::LeftButton);
        QVERIFY(window.statusText().startsWith(QStringLiteral("❌ Sorting failed: ")));
        QVERIFY(window.statusText().size() > QStringLiteral("❌ Sorting failed: ").size());
        QCOMPARE(window.view->organizerView().statusColor(), StatusColor::Red);
        QVERIFY(fs::exists(input / "notes.txt"));

        fs::remove_all(output);
        QTest::mouseClick(&window.button(QStringLiteral("undoSortButton")), Qt::LeftButton);
        QVERIFY(window.statusText().startsWith(QStringLiteral("❌ Revert failed: ")));
        QCOMPARE(window.view->organizerView().statusColor(), StatusColor::Red);
    }

    void commandsCheckTheFoldersThemselves() {
        const TempFolder temp;
        const TestWindow window;
        OrganizerView& organizer = window.view->organizerView();
        organizer.undoSort();
        expectStatus(window, QStringLiteral("Select input/output folders in Settings."), StatusColor::Primary);
        window.view->folderSelection().setSelectedInputFolderURL(temp.sub("in"));
        organizer.sortFiles();
        expectStatus(window, QStringLiteral("Error: Folders not selected."), StatusColor::Red);
        organizer.undoSort();
        expectStatus(window, QStringLiteral("Error: Folders not selected."), StatusColor::Red);
    }

    void restartRestoresFoldersAndModeAndReportsReady() {
        const TempFolder temp;
        const fs::path input = temp.sub("in");
        const fs::path output = temp.sub("out");
        {
            const TestWindow first;
            pickFolders(first, input, output);
            first.openSettings();
            QTest::mouseClick(&first.button(QStringLiteral("byExtensionButton")), Qt::LeftButton);
            first.closeSettings();
        }
        const TestWindow second;
        QCOMPARE(second.view->folderSelection().selectedInputFolderURL(), std::optional(input));
        QCOMPARE(second.view->folderSelection().selectedOutputFolderURL(), std::optional(output));
        QVERIFY(!Preferences::shared().useSmartCategories());
        expectStatus(second, QStringLiteral("Folders ready."), StatusColor::Green);
        QVERIFY(second.button(QStringLiteral("sortButton")).isEnabled());
        second.openSettings();
        QVERIFY(second.button(QStringLiteral("byExtensionButton")).isChecked());
    }

    void onlyARestoredOutputFolderLeavesTheScreenWaiting() {
        const TempFolder temp;
        const fs::path input = temp.sub("in");
        {
            const TestWindow first;
            pickFolders(first, input, temp.sub("out"));
        }
        fs::remove(input); // its bookmark no longer resolves
        const TestWindow second;
        QVERIFY(!second.view->folderSelection().selectedInputFolderURL());
        QVERIFY(second.view->folderSelection().selectedOutputFolderURL());
        QVERIFY(!second.button(QStringLiteral("sortButton")).isEnabled());
        expectStatus(second, QStringLiteral("Select input/output folders in Settings."), StatusColor::Primary);
    }
};

} // namespace foldwise::test

int main(int argc, char** argv) {
    foldwise::test::OrganizerWindowTest test;
    return foldwise::test::runIsolated(test, argc, argv);
}

#include "OrganizerWindowTest.moc"

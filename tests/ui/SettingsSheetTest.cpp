// The settings sheet inside a real window: its labels, the folder dialogs and what a pick stores, the
// sorting picker, and that only "Done" closes it.
#include "WindowTestSupport.h"

#include "prefs/Preferences.h"
#include "prefs/SettingsSheet.h"
#include "ui/FolderSelection.h"
#include "ui/OrganizerView.h"
#include "ui/StatusColor.h"

#include <QLabel>
#include <QSettings>
#include <QTest>

namespace foldwise::test {

class SettingsSheetTest : public QObject {
    Q_OBJECT

    static QLabel& label(const TestWindow& window, const char* objectName) {
        return *window.view->findChild<QLabel*>(QString::fromLatin1(objectName));
    }

private slots:
    void init() { clearPreferences(); }

    void firstLaunchShowsNothingChosenAndCategoryMode() {
        const TestWindow window;
        window.openSettings();
        const SettingsSheet& sheet = window.view->organizerView().settingsSheet();
        QVERIFY(sheet.isVisible());
        QCOMPARE(sheet.windowModality(), Qt::WindowModal);
        QCOMPARE(label(window, "inputFolderLabel").text(), QStringLiteral("Not Selected"));
        QCOMPARE(label(window, "outputFolderLabel").text(), QStringLiteral("Not Selected"));
        QVERIFY(window.button(QStringLiteral("byCategoryButton")).isChecked());
        QVERIFY(!window.button(QStringLiteral("byExtensionButton")).isChecked());
        QCOMPARE(window.button(QStringLiteral("byCategoryButton")).text(),
                 QStringLiteral("By Category (Images, Docs)"));
        QCOMPARE(window.button(QStringLiteral("byExtensionButton")).text(), QStringLiteral("By Extension (jpg, pdf)"));
    }

    void pickingAFolderShowsItAndStoresItsBookmark() {
        const TempFolder temp;
        const TestWindow window;
        window.openSettings();
        window.pick(true, temp.sub("Holiday photos"));
        QCOMPARE(label(window, "inputFolderLabel").text(), QStringLiteral("Holiday photos"));
        QCOMPARE(window.statusText(), QStringLiteral("Input folder set."));
        QCOMPARE(window.view->organizerView().statusColor(), StatusColor::Blue);
        QVERIFY(Preferences::shared().inputFolderBookmark());
        QVERIFY(!Preferences::shared().outputFolderBookmark());

        // A second pick replaces the first, in the label, the selection and the stored bookmark.
        const auto firstBookmark = Preferences::shared().inputFolderBookmark();
        window.pick(true, temp.sub("Downloads"));
        QCOMPARE(label(window, "inputFolderLabel").text(), QStringLiteral("Downloads"));
        QCOMPARE(window.view->folderSelection().selectedInputFolderURL(), std::optional(temp.path() / "Downloads"));
        QVERIFY(Preferences::shared().inputFolderBookmark() != firstBookmark);
    }

    void cancellingADialogChangesNothing() {
        const TempFolder temp;
        const TestWindow window;
        window.openSettings();
        window.pick(false, temp.sub("out"));
        window.pick(false, std::nullopt);
        window.pick(true, std::nullopt);
        QCOMPARE(window.picker->dialogsShown, 3);
        QCOMPARE(label(window, "outputFolderLabel").text(), QStringLiteral("out"));
        QCOMPARE(label(window, "inputFolderLabel").text(), QStringLiteral("Not Selected"));
        QCOMPARE(window.statusText(), QStringLiteral("Output folder set."));
        QVERIFY(!Preferences::shared().inputFolderBookmark());
    }

    void aFolderWithoutBookmarkIsUsedAndTheFailureShownInRed() {
        const TempFolder temp;
        const TestWindow window;
        window.openSettings();
        window.pick(true, temp.sub("kept"));
        const auto keptBookmark = Preferences::shared().inputFolderBookmark();

        window.pick(true, temp.path() / "vanished"); // gone before it could be bookmarked
        QCOMPARE(window.statusText(), QStringLiteral("Failed to access folder for bookmarking."));
        QCOMPARE(window.view->organizerView().statusColor(), StatusColor::Red);
        QCOMPARE(label(window, "inputFolderLabel").text(), QStringLiteral("vanished"));
        QCOMPARE(window.view->folderSelection().selectedInputFolderURL(), std::optional(temp.path() / "vanished"));
        QCOMPARE(Preferences::shared().inputFolderBookmark(), keptBookmark);
    }

    void aPreferencesFileThatCannotBeWrittenIsReported() {
        const TempFolder temp;
        const TestWindow window;
        window.openSettings();
        const fs::path settingsFolder =
            fs::path(QFile::encodeName(QSettings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise")).fileName())
                         .toStdString())
                .parent_path();
        fs::remove_all(settingsFolder);
        writeFile(settingsFolder); // a file where the preferences folder belongs

        window.pick(false, temp.sub("out"));
        fs::remove(settingsFolder);
        QVERIFY(window.statusText().startsWith(QStringLiteral("Failed to save bookmark: ")));
        QCOMPARE(window.view->organizerView().statusColor(), StatusColor::Red);
        QCOMPARE(label(window, "outputFolderLabel").text(), QStringLiteral("out"));
    }

    void thePickerStoresTheSortingMode() {
        const TestWindow window;
        window.openSettings();
        QTest::mouseClick(&window.button(QStringLiteral("byExtensionButton")), Qt::LeftButton);
        QVERIFY(!Preferences::shared().useSmartCategories());
        QVERIFY(!window.button(QStringLiteral("byCategoryButton")).isChecked());
        QTest::mouseClick(&window.button(QStringLiteral("byCategoryButton")), Qt::LeftButton);
        QVERIFY(Preferences::shared().useSmartCategories());
        QVERIFY(!window.button(QStringLiteral("byExtensionButton")).isChecked());
    }

    void aLongNameKeepsItsEndOnOneLine() {
        const TempFolder temp;
        const TestWindow window;
        window.openSettings();
        const std::string longName = std::string(150, 'x') + " the end";
        window.pick(true, temp.sub(longName.c_str()));
        QCoreApplication::processEvents();
        const QLabel& shown = label(window, "inputFolderLabel");
        QVERIFY(shown.text().startsWith(QStringLiteral("…")));
        QVERIFY(shown.text().endsWith(QStringLiteral("the end")));
        QVERIFY(!shown.wordWrap());
        QVERIFY(shown.fontMetrics().horizontalAdvance(shown.text()) <= shown.contentsRect().width());
        QCOMPARE(shown.toolTip(), QString::fromStdString(longName));
    }

    void onlyDoneClosesTheSheet() {
        const TestWindow window;
        window.openSettings();
        SettingsSheet& sheet = window.view->organizerView().settingsSheet();
        QTest::keyClick(&sheet, Qt::Key_Escape);
        QVERIFY(sheet.isVisible());
        sheet.close(); // what the window's close button asks for
        QVERIFY(sheet.isVisible());
        window.closeSettings();
        QVERIFY(!sheet.isVisible());
    }
};

} // namespace foldwise::test

int main(int argc, char** argv) {
    foldwise::test::SettingsSheetTest test;
    return foldwise::test::runIsolated(test, argc, argv);
}

#include "SettingsSheetTest.moc"

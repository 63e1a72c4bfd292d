// The first window and the settings sheet on the screen the test is run on: CTest runs it on a 1600 × 1000
// screen at scale 2 (800 × 500 device-independent pixels) and on a 1920 × 1200 screen at scale 1.
#include "tests/support/GuiTest.h"

#include <QScreen>

namespace foldwise::test {

class WindowSizeTest : public QObject {
    Q_OBJECT

private slots:
    void theFirstWindowFitsTheScreen() {
        const QSize available = QGuiApplication::primaryScreen()->availableSize();
        const TestWindow test;
        const ContentView* window = test.view.get();
        const QSize size = window->size();
        if (QSize(820, 600).boundedTo(available * 0.8) == QSize(820, 600)) {
            QCOMPARE(size, QSize(820, 600));
        } else {
            QVERIFY(size.width() <= available.width() * 0.8 + 1);
        }
        QVERIFY(window->frameGeometry().width() <= available.width());
        QVERIFY(window->frameGeometry().height() <= available.height());
        // and the organizer's content is not squeezed into less than it needs
        const QWidget& organizer = window->organizerView();
        QVERIFY(organizer.width() >= organizer.minimumSizeHint().width());
        QVERIFY(organizer.height() >= organizer.minimumSizeHint().height());
    }

    void theSheetStaysWithinTheWindowWhateverTheFolderName() {
        const TempFolder temp;
        const fs::path folder = makeFolder(temp / (std::string(190, 'n') + " the end."));
        const TestWindow window({folder, folder});
        const SettingsSheet& sheet = window.organizer().settingsSheet();
        const auto& label = window.find<QLabel>("inputFolderLabel");
        for (const char* moment : {"picked while the sheet is open", "shown when the sheet opens"}) {
            window.openSettings();
            window.click("selectInputFolderButton");
            QCoreApplication::processEvents();
            QVERIFY2(sheet.frameGeometry().width() <= window.view->width(), moment);
            QVERIFY2(label.text().startsWith(QStringLiteral("…")) && label.text().endsWith(QStringLiteral("the end.")),
                     moment);
            QVERIFY2(label.fontMetrics().horizontalAdvance(label.text()) <= label.contentsRect().width(), moment);
            QCOMPARE(label.toolTip(), QString::fromStdString(folder.string()));
            window.click("doneButton");
        }
    }
};

} // namespace foldwise::test

FOLDWISE_GUI_TEST_MAIN(foldwise::test::WindowSizeTest)

#include "WindowSizeTest.moc"

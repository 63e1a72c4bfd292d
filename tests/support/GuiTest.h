#pragma once

// For the window tests: a folder dialog that answers from a queue, the application's window driven as a
// user drives it, and a main() that keeps the preferences and the history of sorts in fresh temporary
// folders, set before the application starts.
#include "app/ContentView.h"
#include "app/FoldwiseApp.h"
#include "tests/support/IsolatedUserFolders.h"
#include "tests/support/TempFolder.h"
#include "ui/FolderPicker.h"
#include "ui/FolderSelection.h"
#include "ui/OrganizerView.h"
#include "ui/SettingsSheet.h"
#include "ui/StatusColor.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <deque>

namespace foldwise::test {

// Answers folder dialogs from a queue: a folder, or nothing for "cancelled".
class FakeFolderPicker final : public FolderPicker {
public:
    explicit FakeFolderPicker(std::deque<std::optional<fs::path>> answers = {}) : answers(std::move(answers)) {}
    std::optional<fs::path> pickFolder(QWidget*, const QString&, const std::optional<fs::path>&) override {
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<fs::path>> answers;
};

// A window of the application with a fake folder dialog, shown and exposed.
struct TestWindow {
    explicit TestWindow(std::deque<std::optional<fs::path>> answers = {})
        : picker(new FakeFolderPicker(std::move(answers))),
          view(FoldwiseApp::makeWindow(std::unique_ptr<FolderPicker>(picker))) {
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get())) {
            qFatal("the test window was not exposed");
        }
        QCoreApplication::processEvents(); // the organizer's check on being shown
                                           // is queued
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
    QString text(const char* label) const { return find<QLabel>(label).text(); }
    void pick(const char* button, const std::optional<fs::path>& answer) const {
        picker->answers.push_back(answer);
        click(button);
    }
    OrganizerView& organizer() const { return view->organizerView(); }
    FolderSelection& selection() const { return view->folderSelection(); }

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
        QCOMPARE(this->text("statusLabel"), text);
        QCOMPARE(organizer().statusColor(), color);
        QCOMPARE(find<QLabel>("statusLabel").palette().color(QPalette::WindowText),
                 statusColorValue(color, view->palette()));
    }

    FakeFolderPicker* picker; // owned by the window
    std::unique_ptr<ContentView> view;
};

} // namespace foldwise::test

#define FOLDWISE_GUI_TEST_MAIN(TestClass)                                                                              \
    int main(int argc, char** argv) {                                                                                  \
        const foldwise::test::IsolatedUserFolders isolated;                                                            \
        QApplication application(argc, argv);                                                                          \
        foldwise::FoldwiseApp::configure(application);                                                                 \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }

#include "WindowTestSupport.h"

#include "app/FoldwiseApp.h"
#include "prefs/SettingsSheet.h"
#include "ui/OrganizerView.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QTest>

#include <cstdlib>
#include <fstream>

namespace foldwise::test {

std::optional<fs::path> FakeFolderPicker::pickFolder(QWidget*, const QString&, const std::optional<fs::path>&) {
    ++dialogsShown;
    std::optional<fs::path> answer = answers.front();
    answers.pop_front();
    return answer;
}

TestWindow::TestWindow() {
    auto fakePicker = std::make_unique<FakeFolderPicker>();
    picker = fakePicker.get();
    view = FoldwiseApp::makeWindow(std::move(fakePicker));
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get())) {
        qFatal("the test window was not exposed");
    }
    QCoreApplication::processEvents(); // the organizer's check on being shown is queued
}

QPushButton& TestWindow::button(const QString& objectName) const {
    auto* found = view->findChild<QPushButton*>(objectName);
    if (found == nullptr) {
        qFatal("no button %s", qPrintable(objectName));
    }
    return *found;
}

void TestWindow::openSettings() const {
    QTest::mouseClick(&button(QStringLiteral("settingsButton")), Qt::LeftButton);
    if (!QTest::qWaitForWindowExposed(&view->organizerView().settingsSheet())) {
        qFatal("the settings sheet was not exposed");
    }
}

void TestWindow::closeSettings() const {
    QTest::mouseClick(&button(QStringLiteral("doneButton")), Qt::LeftButton);
}

void TestWindow::pick(bool isInput, const std::optional<fs::path>& answer) const {
    picker->answers.push_back(answer);
    QTest::mouseClick(
        &button(isInput ? QStringLiteral("selectInputFolderButton") : QStringLiteral("selectOutputFolderButton")),
        Qt::LeftButton);
}

QString TestWindow::statusText() const {
    return view->findChild<QLabel*>(QStringLiteral("statusLabel"))->text();
}

QColor TestWindow::statusTextColor() const {
    return view->findChild<QLabel*>(QStringLiteral("statusLabel"))->palette().color(QPalette::WindowText);
}

fs::path TempFolder::path() const {
    return fs::path(QFile::encodeName(dir.path()).toStdString());
}

fs::path TempFolder::sub(const char* name) const {
    const fs::path folder = path() / name;
    fs::create_directories(folder);
    return folder;
}

void writeFile(const fs::path& file) {
    std::ofstream(file) << "content of " << file.filename().string() << '\n';
}

void clearPreferences() {
    QSettings settings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise"));
    settings.clear();
    settings.sync();
}

int runIsolated(QObject& test, int argc, char** argv) {
    const QTemporaryDir configHome;
    if (!configHome.isValid() ||
        ::setenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()).constData(), 1) != 0) {
        return 1;
    }
    QApplication application(argc, argv);
    FoldwiseApp::configure(application);
    return QTest::qExec(&test, argc, argv);
}

} // namespace foldwise::test

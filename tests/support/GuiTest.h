#pragma once

// For the window tests: a folder dialog that answers from a queue, and a main()
// that keeps the preferences and the history of sorts in fresh temporary
// folders, set before the application starts.
#include "app/FoldwiseApp.h"
#include "tests/support/IsolatedUserFolders.h"
#include "ui/FolderPicker.h"

#include <QApplication>
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

} // namespace foldwise::test

#define FOLDWISE_GUI_TEST_MAIN(TestClass)                                                                              \
    int main(int argc, char** argv) {                                                                                  \
        const foldwise::test::IsolatedUserFolders isolated;                                                            \
        QApplication application(argc, argv);                                                                          \
        foldwise::FoldwiseApp::configure(application);                                                                 \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }

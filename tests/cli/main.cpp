#include "bench/IsolatedUserFolders.h"
#include "tests/cli/FoldwiseProcess.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// tests_cli [GoogleTest options] PATH-OF-FOLDWISE
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc == 2) {
        foldwise::test::FoldwiseProcess::setExecutable(argv[1]);
    }
    // No display at all: the commands must run headless, and the window must not open.
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        ::unsetenv(variable);
    }
    const foldwise::bench::IsolatedUserFolders isolated; // for this program and the commands it runs
    const QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}

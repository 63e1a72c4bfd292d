#include "prefs/Preferences.h"
#include "tests/prefs/PrefsTestSupport.h"
#include "tests/support/IsolatedUserFolders.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <string_view>

int main(int argc, char** argv) {
    // Run so by the tests, the program prints what a fresh start reads from the preferences.
    if (argc == 2 && std::string_view(argv[1]) == "--print-preferences") {
        std::fputs(foldwise::test::describe(foldwise::Preferences::shared()).c_str(), stdout);
        return 0;
    }
    const foldwise::test::IsolatedUserFolders isolated;
    const QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "prefs/Preferences.h"
#include "tests/prefs/PrefsTestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <string_view>

int main(int argc, char** argv) {
    // Run so by the tests, the program prints what a fresh start reads from the preferences.
    if (argc == 2 && std::string_view(argv[1]) == "--print-preferences") {
        std::fputs(foldwise::test::describe(foldwise::Preferences::shared()).c_str(), stdout);
        return 0;
    }
    // QSettings takes its folder from XDG_CONFIG_HOME once, at its first use: set it before anything else.
    const QTemporaryDir configHome;
    if (!configHome.isValid() || !qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()))) {
        std::fprintf(stderr, "Could not set up a temporary XDG_CONFIG_HOME\n");
        return 1;
    }
    const QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

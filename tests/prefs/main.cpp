#include "prefs/Preferences.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <string_view>

namespace {

// Run as a child process by the tests, this prints what a fresh start of the program reads back.
int printPreferences() {
    const auto& preferences = foldwise::Preferences::shared();
    const auto print = [](const char* key, const std::optional<QByteArray>& bookmark) {
        std::printf("%s=%s\n", key, bookmark ? bookmark->toHex().constData() : "absent");
    };
    print("inputFolderBookmark", preferences.inputFolderBookmark());
    print("outputFolderBookmark", preferences.outputFolderBookmark());
    std::printf("useSmartCategories=%s\n", preferences.useSmartCategories() ? "true" : "false");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--print-preferences") {
        const QCoreApplication application(argc, argv);
        return printPreferences();
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
